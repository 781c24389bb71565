#include "compose/recovery.h"

#include "core/translation.h"
#include "storage/recovery_file.h"

#include <utility>

namespace zintaro::compose {

namespace fs = std::filesystem;

Text recoveredText(int notes)
{
    if (notes <= 0)
        return {};
    if (notes == 1)
        return translate("Recovery", "Ripristinata la composizione non salvata: 1 nota.");
    return translate("Recovery", "Ripristinata la composizione non salvata: %1 note.").arg(notes);
}

Recovered recoverPiece(const fs::path& file)
{
    storage::RecoveryRead read = storage::readRecoveryFile(file);
    Recovered found { std::move(read.piece), std::nullopt };
    if (read.damaged)
        found.notice = read.setAside
            ? translate("Recovery", "Il file di ripristino era danneggiato: è stato messo da parte come %1.")
                  .arg(read.setAside->string())
            : translate("Recovery", "Il file di ripristino %1 è danneggiato e non è stato caricato.")
                  .arg(file.string());
    return found;
}

RecoveryFile::RecoveryFile(fs::path file)
    : m_file(std::move(file))
    , m_baseline(storage::writeCompositionText(CompositionStore {}, 0))
{
    if (!m_file.empty())
        m_thread = std::thread([this] { run(); });
}

RecoveryFile::~RecoveryFile()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

namespace {

std::string pieceText(const Modulo1& m)
{
    return storage::writeCompositionText(m.Composition, m.NoteCount, m.PieceKey, m.PieceMeter);
}

} // namespace

void RecoveryFile::update(const Modulo1& m)
{
    std::string text = pieceText(m);
    m_unsaved = text != m_baseline;
    if (!m_unsaved)
        post(std::nullopt);
    else
        post(std::move(text));
}

void RecoveryFile::setBaseline(const Modulo1& m)
{
    m_baseline = pieceText(m);
    update(m);
}

void RecoveryFile::post(std::optional<std::string> text)
{
    if (m_file.empty() || text == m_lastPosted)
        return;
    m_lastPosted = text;
    {
        const std::lock_guard lock(m_mutex);
        m_next = std::move(text);
        m_pending = true;
    }
    m_wake.notify_one();
}

void RecoveryFile::flush()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_pending && !m_busy; });
}

std::optional<Text> RecoveryFile::failure() const
{
    const std::lock_guard lock(m_mutex);
    return m_failure;
}

void RecoveryFile::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending || m_stopping; });
        if (!m_pending)
            return;
        std::optional<std::string> text = std::move(m_next);
        m_pending = false;
        m_busy = true;
        lock.unlock();
        const bool needed = text.has_value();
        const std::optional<Text> problem = storage::writeRecoveryFile(m_file, text);
        lock.lock();
        m_busy = false;
        // A copy that could not be removed only outlives a piece that is safe.
        m_failure = needed ? problem : std::nullopt;
        m_idle.notify_all();
    }
}

} // namespace zintaro::compose
