#include "compose/recovery.h"

#include "core/translation.h"
#include "storage/atomic_write.h"
#include "storage/system_reason.h"
#include "storage/write_steps.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>
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
    Recovered found;
    std::error_code error;
    if (file.empty() || !fs::is_regular_file(file, error))
        return found;
    std::ifstream in(file, std::ios::binary);
    const std::string bytes { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    auto parsed = storage::readCompositionText(bytes);
    // The program writes the file whole, through the atomic writer: anything
    // less than every line read and the end line last is not its own.
    if (parsed.endLineFound && parsed.linesSkipped == 0 && !parsed.truncated) {
        found.piece = std::move(parsed);
        return found;
    }
    const auto stamp
        = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    // Never over an earlier damaged copy, even one set aside the same second.
    const std::string name = "recovery-damaged-" + std::to_string(stamp);
    fs::path aside = file.parent_path() / (name + ".txt");
    for (int copy = 2; fs::exists(aside, error) && copy < 1000; ++copy)
        aside = file.parent_path() / (name + "-" + std::to_string(copy) + ".txt");
    found.notice = storage::writeSteps().rename(file, aside) != 0
        ? translate("Recovery", "Il file di ripristino %1 è danneggiato e non è stato caricato.").arg(file.string())
        : translate("Recovery", "Il file di ripristino era danneggiato: è stato messo da parte come %1.")
              .arg(aside.string());
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

void RecoveryFile::update(const CompositionStore& store, int noteCount)
{
    std::string text = storage::writeCompositionText(store, noteCount);
    if (text == m_baseline)
        post(std::nullopt);
    else
        post(std::move(text));
}

void RecoveryFile::setBaseline(const CompositionStore& store, int noteCount)
{
    m_baseline = storage::writeCompositionText(store, noteCount);
    update(store, noteCount);
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

std::optional<Text> RecoveryFile::takeNotice()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_notice, std::nullopt);
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
        std::optional<Text> problem;
        storage::WriteSteps& steps = storage::writeSteps();
        if (!text) {
            if (const int error = steps.remove(m_file); error != 0 && error != ENOENT)
                problem = storage::systemReason(error);
        } else if (const int error = steps.makeFolders(m_file.parent_path())) {
            problem = storage::systemReason(error);
        } else {
            problem = storage::writeFileAtomically(m_file.parent_path(), m_file.filename().string(), *text);
        }
        lock.lock();
        m_busy = false;
        if (problem && !m_told) {
            m_told = true;
            m_notice = translate("Recovery", "La composizione non salvata non può essere protetta: %1: %2")
                           .arg(m_file.string())
                           .arg(*problem);
        }
        m_idle.notify_all();
    }
}

} // namespace zintaro::compose
