#include "app/progress_opener.h"

#include "compose/answer_history.h"
#include "compose/progress_figures.h"
#include "core/translation.h"
#include "progress/progress_module.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <memory>

namespace zintaro::app {

struct ProgressOpener::Loaded {
    std::shared_ptr<progress::PageInput> input;
    Text moduleError;
};

ProgressOpener::ProgressOpener(
    QWidget& window, QString filesFolder, std::filesystem::path history, QStringList moduleFolders, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_filesFolder(std::move(filesFolder))
    , m_history(std::move(history))
    , m_moduleFolders(std::move(moduleFolders))
{
}

ProgressOpener::~ProgressOpener()
{
    if (m_worker.joinable())
        m_worker.join();
}

QStringList ProgressOpener::defaultModuleFolders(const QString& programFolder)
{
    return { programFolder, QDir::cleanPath(programFolder + QStringLiteral("/../lib/zintaro/modules")) };
}

void ProgressOpener::open(NoteNaming naming, const std::array<compose::NoteRange, 3>& ranges)
{
    if (m_page) {
        m_page->showNormal();
        m_page->raise();
        m_page->activateWindow();
        return;
    }
    // The page is on its way.
    if (m_worker.joinable())
        return;

    const compose::LocalTime now = compose::LocalTime::now();
    const int today = compose::dayNumber(now.year, now.month, now.day);
    auto input = std::make_shared<progress::PageInput>();
    input->filesFolder = m_filesFolder;
    input->naming = naming;
    const bool needModule = m_createPage == nullptr;
    if (needModule) {
        for (const QString& folder : m_moduleFolders) {
            const QString file = QDir(folder).filePath(QString::fromLatin1(progress::ModuleFileName));
            if (QFileInfo::exists(file)) {
                m_module.setFileName(file);
                break;
            }
        }
    }
    m_worker = std::thread([this, input, today, needModule, ranges, history = m_history] {
        input->figures = compose::readProgress(history, today, ranges);
        Loaded loaded { input, {} };
        if (needModule) {
            if (m_module.fileName().isEmpty())
                loaded.moduleError = translate("Progress", "non trovato in %1")
                                         .arg(m_moduleFolders.join(QStringLiteral(", ")).toStdString());
            else if (!m_module.load() || !(m_createPage = m_module.resolve(progress::CreatePageSymbol)))
                loaded.moduleError = Text::verbatim(m_module.errorString().toStdString());
        }
        QMetaObject::invokeMethod(
            this, [this, loaded] { show(loaded); }, Qt::QueuedConnection);
    });
}

void ProgressOpener::show(const Loaded& loaded)
{
    m_worker.join();
    if (!m_createPage) {
        // Words of the program's own, so that they follow a change of language.
        emit statusNote(translate("Progress", "La pagina Progressi non si apre: manca il suo modulo %1 (%2).")
                            .arg(progress::ModuleFileName)
                            .arg(loaded.moduleError));
        return;
    }
    const auto create = reinterpret_cast<progress::CreatePageFunction>(m_createPage);
    m_page = create(loaded.input.get(), &m_window);
    if (!m_page) {
        emit statusNote(translate("Progress", "La pagina Progressi non si apre."));
        return;
    }
    m_page->show();
    m_page->raise();
    m_page->activateWindow();
    emit statusNote(Text {});
    emit pageShown(m_page);
}

} // namespace zintaro::app
