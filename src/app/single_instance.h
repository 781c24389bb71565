#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

class QLocalServer;

namespace zintaro {
class Dialogs;
}

namespace zintaro::app {

// One running copy per user, and it is always the newest one started.
//
// The copy that runs holds an exclusive lock on a lock file for its whole
// life; the lock is taken before the socket is created, so only the holder
// ever creates or removes the socket, and the socket only carries "close".
// The kernel drops the lock of a copy that crashed, so its stale socket is
// taken over. Every copy also records its start (boot, start time, process)
// in a second file if it is newer than the one recorded: a copy that finds a
// newer live copy recorded gives way, and a running copy closes only when a
// newer copy asks it to. However the launches interleave, the newest survives.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `closeRequested` runs in this copy when a newer copy asks it to close;
    // it must lead to the copy's normal shutdown.
    SingleInstance(QString name, std::function<void()> closeRequested, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim {
        Alone, // no other copy was running
        ReplacedPrevious, // a running copy was told and asked to close, and did
    };

    // Waits until this copy holds the lock, asking the running copy to close
    // after telling the user, then listens for newer copies. A copy that a
    // newer one has already superseded, or that cannot make a running copy
    // close, ends the process here (status 0) before it has opened anything.
    Claim claim(Dialogs& dialogs);

    // The socket's path in this user's runtime folder; the lock files sit beside it.
    static QString defaultName();

    // A copy's place in the order of starts: later starts compare greater.
    struct Start {
        uint64_t ticks = 0; // start time since boot, in clock ticks
        int64_t pid = 0;
        friend auto operator<=>(const Start&, const Start&) = default;
    };

private:
    bool supersededByNewer() const;
    void listen();

    QString m_name;
    std::function<void()> m_closeRequested;
    QLocalServer* m_server = nullptr;
    Start m_start;
    int m_lockFd = -1;
    int m_newestFd = -1;
};

} // namespace zintaro::app
