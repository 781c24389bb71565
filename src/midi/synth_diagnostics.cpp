#include "midi/synth_diagnostics.h"

#include <deque>
#include <fluidsynth.h>
#include <mutex>

namespace zintaro::midi {

namespace {

constexpr std::size_t KeptLines = 64;

// FluidSynth logs from whichever thread fails: the window's, the worker's,
// an audio driver's.
std::mutex g_mutex;
std::deque<std::string> g_lines;

const char* levelWord(int level)
{
    switch (level) {
    case FLUID_PANIC:
        return "panic";
    case FLUID_ERR:
        return "error";
    case FLUID_WARN:
        return "warning";
    case FLUID_INFO:
        return "info";
    default:
        return "debug";
    }
}

void keep(int level, const char* message, void* /*data*/)
{
    const std::lock_guard lock(g_mutex);
    g_lines.push_back(std::string(levelWord(level)) + ": " + (message ? message : ""));
    if (g_lines.size() > KeptLines)
        g_lines.pop_front();
}

} // namespace

void collectSynthLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int level : { FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG })
            fluid_set_log_function(level, keep, nullptr);
    });
}

std::vector<std::string> synthDiagnostics()
{
    const std::lock_guard lock(g_mutex);
    return { g_lines.begin(), g_lines.end() };
}

} // namespace zintaro::midi
