#pragma once

#include "app/module_loader.h"
#include "compose/practice_choices.h"
#include "core/pitch.h"
#include "core/translation.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <thread>

class QWidget;

namespace zintaro::app {

// Opens the "Progressi" page. The page and Qt's charts live in a module of
// their own that is loaded at the first opening, never at start-up; the
// history is read and the module loaded off the window's thread, and the
// page is built when both are done. One page at a time: opening it again
// brings the open one forward.
class ProgressOpener : public QObject {
    Q_OBJECT
public:
    // `moduleFolders` are looked through in order for the module.
    ProgressOpener(QWidget& window, QString filesFolder, std::filesystem::path history, QStringList moduleFolders,
        QObject* parent = nullptr);
    ~ProgressOpener() override;

    // Note names are written in `naming`; each staff shows its range chosen.
    void open(NoteNaming naming, const std::array<compose::NoteRange, 3>& ranges);

    QWidget* page() const { return m_page; }
    bool opening() const { return m_worker.joinable(); }

signals:
    void pageShown(QWidget* page);
    // Why the page cannot be shown, for the status text; empty once it shows.
    void statusNote(const zintaro::Text& text);

private:
    struct Loaded;
    void show(const Loaded& loaded);

    QWidget& m_window;
    QString m_filesFolder;
    std::filesystem::path m_history;
    ModuleLoader m_module;
    std::thread m_worker;
    QPointer<QWidget> m_page;
};

} // namespace zintaro::app
