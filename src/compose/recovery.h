#pragma once

#include "core/modulo1.h"
#include "core/translation.h"
#include "storage/composition_format.h"

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace zintaro::compose {

// "Ripristinata la composizione non salvata: 12 note."; nothing for an
// empty piece, which needs no word.
Text recoveredText(int notes);

// What start-up found in the recovery file.
struct Recovered {
    std::optional<storage::ParsedComposition> piece; // a piece to restore
    std::optional<Text> notice; // a damaged or foreign file was set aside
};

// Reads the recovery file left by an earlier run. A file that is not wholly
// a composition as the program writes it is renamed beside itself (never
// deleted) and told; no file gives nothing.
Recovered recoverPiece(const std::filesystem::path& file);

// Keeps the recovery file in step with the piece: written, through the
// atomic writer, whenever the piece differs from what was last saved or
// loaded, and removed when it no longer does. The writing happens on a
// thread of its own, so the window's thread only formats the text; when
// changes come faster than the disk, only the latest is written.
class RecoveryFile {
public:
    // An empty path keeps no file.
    explicit RecoveryFile(std::filesystem::path file);
    // Finishes the write under way and the one asked for last.
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // The piece now, with its key and meter.
    void update(const Modulo1& m);
    // The piece as saved or loaded: the file goes when the piece is that.
    void setBaseline(const Modulo1& m);
    // Waits until the file is as last asked.
    void flush();
    // The piece differs from what was last saved or loaded.
    bool unsaved() const { return m_unsaved; }
    // Why the piece has no safe copy: set when a write fails, gone when a
    // later write succeeds or the piece needs no copy any more.
    std::optional<Text> failure() const;

    const std::filesystem::path& path() const { return m_file; }

private:
    void run();
    void post(std::optional<std::string> text);

    std::filesystem::path m_file;
    std::string m_baseline;
    std::optional<std::string> m_lastPosted; // nothing: the file is to be absent
    bool m_unsaved = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    bool m_pending = false;
    bool m_busy = false;
    bool m_stopping = false;
    std::optional<std::string> m_next; // the text to write, nothing to remove
    std::optional<Text> m_failure;
    std::thread m_thread;
};

} // namespace zintaro::compose
