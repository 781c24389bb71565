#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace zintaro {
class Dialogs;
}

namespace zintaro::app {

// One running copy per user. A new copy tells the user it closes the
// previous one, asks it to close and takes its place. A socket left behind by
// a copy that crashed does not stop a new one from starting.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `closeRequested` runs in this copy when a newer copy asks it to close.
    SingleInstance(QString name, std::function<void()> closeRequested, QObject* parent = nullptr);

    // Closes a previous copy (after telling the user) and starts listening.
    // Returns whether a previous copy was found.
    bool claim(Dialogs& dialogs);

    // A name of this user's own.
    static QString defaultName();

private:
    QString m_name;
    std::function<void()> m_closeRequested;
    QLocalServer* m_server = nullptr;
};

} // namespace zintaro::app
