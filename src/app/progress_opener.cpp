#include "app/progress_opener.h"

#include "compose/answer_history.h"
#include "compose/progress_figures.h"
#include "core/translation.h"
#include "progress/progress_module.h"

#include <QWidget>
#include <memory>

namespace zintaro::app {

struct ProgressOpener::Loaded {
    std::shared_ptr<progress::PageInput> input;
    QFunctionPointer createPage = nullptr;
    Text moduleError;
};

ProgressOpener::ProgressOpener(
    QWidget& window, QString filesFolder, std::filesystem::path history, QStringList moduleFolders, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_filesFolder(std::move(filesFolder))
    , m_history(std::move(history))
    , m_module(std::move(moduleFolders), QString::fromLatin1(progress::ModuleFileName), progress::CreatePageSymbol)
{
}

ProgressOpener::~ProgressOpener()
{
    if (m_worker.joinable())
        m_worker.join();
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
    m_worker = std::thread([this, input, today, ranges, history = m_history] {
        input->figures = compose::readProgress(history, today, ranges);
        Loaded loaded { input, m_module.entry(), m_module.failure().value_or(Text {}) };
        QMetaObject::invokeMethod(
            this, [this, loaded] { show(loaded); }, Qt::QueuedConnection);
    });
}

void ProgressOpener::show(const Loaded& loaded)
{
    m_worker.join();
    if (!loaded.createPage) {
        // Words of the program's own, so that they follow a change of language.
        emit statusNote(translate("Progress", "La pagina Progressi non si apre: %1.").arg(loaded.moduleError));
        return;
    }
    const auto create = reinterpret_cast<progress::CreatePageFunction>(loaded.createPage);
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
