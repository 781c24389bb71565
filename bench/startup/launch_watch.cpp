// Launches a program on the X display and reports, on one line, how it
// started: milliseconds from launch to its first window being mapped, to the
// "ZINTARO_SYNTH_READY" line on its standard output (-1 if never printed),
// its resident peak 2 s after mapping, and its CPU over the next seconds.
//
//   launch_watch CPU_SECONDS PROGRAM [ARGS...]
//   -> mapped_ms=12.8 synth_ready_ms=-1 peak_mb=26.1 cpu_ms_per_s=0.4
//
// The map is seen from outside, as the X server reports it, so the program
// needs no change to be measured; only the synthesizer's readiness needs
// its marker line.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double peakMegabytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return -1;
}

// User and system time of every thread of the process, in seconds.
double cpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = all.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream rest(all.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // Fields 3 .. 13, then utime (14) and stime (15).
    for (int i = 3; i <= 13; ++i)
        rest >> field;
    rest >> utime >> stime;
    return double(utime + stime) / double(::sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CPU_SECONDS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const double cpuWindow = std::atof(argv[1]);
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));

    int out[2];
    if (::pipe(out) != 0)
        return 2;
    const auto launch = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        ::_exit(127);
    }
    ::close(out[1]);

    std::optional<double> mapped, ready;
    std::string pending;
    const auto giveUp = launch + std::chrono::seconds(30);
    // Until mapped, then 2 s more for the peak, then the CPU window; the
    // synthesizer's marker is picked up whenever it comes.
    double peak = -1, cpuBefore = -1, cpuMsPerSecond = -1;
    Clock::time_point cpuFrom {};
    bool outputOpen = true;
    while (Clock::now() < giveUp) {
        pollfd fds[2] = { { xcb_get_file_descriptor(x), POLLIN, 0 }, { outputOpen ? out[0] : -1, POLLIN, 0 } };
        ::poll(fds, 2, 10);
        while (xcb_generic_event_t* e = xcb_poll_for_event(x)) {
            if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY && !mapped)
                mapped = msSince(launch);
            std::free(e);
        }
        if (outputOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            char buffer[4096];
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n <= 0) {
                outputOpen = false;
            } else {
                pending.append(buffer, static_cast<std::size_t>(n));
                if (!ready && pending.find("ZINTARO_SYNTH_READY") != std::string::npos)
                    ready = msSince(launch);
            }
        }
        if (!mapped)
            continue;
        if (peak < 0 && msSince(launch) >= *mapped + 2000) {
            peak = peakMegabytes(child);
            cpuBefore = cpuSeconds(child);
            cpuFrom = Clock::now();
            if (cpuWindow <= 0)
                break;
        }
        if (peak >= 0 && msSince(cpuFrom) >= 1000 * cpuWindow) {
            cpuMsPerSecond = 1000 * (cpuSeconds(child) - cpuBefore) / (msSince(cpuFrom) / 1000);
            break;
        }
    }
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    xcb_disconnect(x);
    std::printf("mapped_ms=%.1f synth_ready_ms=%.1f peak_mb=%.1f cpu_ms_per_s=%.1f\n", mapped.value_or(-1),
        ready.value_or(-1), peak, cpuMsPerSecond);
    return mapped ? 0 : 1;
}
