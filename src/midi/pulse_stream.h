#pragma once

#include "midi/fluid_synth_engine.h"
#include "midi/stream_clock.h"

#include <atomic>
#include <cstddef>
#include <fluidsynth.h>
#include <pulse/pulseaudio.h>

namespace zintaro::midi {

// The synthesizer's own PulseAudio stream. FluidSynth's drivers wake for
// every period, sounding or not; this one pauses (corks) itself once the
// output has been silent for a while and resumes on the next note, so an
// idle synthesizer costs no CPU while the buffer stays short for the keys.
class PulseStream {
public:
    PulseStream(StreamClock& clock, const AudioLatency& latency);
    ~PulseStream();
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connects to the sound server and opens the stream, paused; false when
    // there is no server or it refuses the stream.
    bool start();

    // A note is starting: resume the output if it was paused. Takes no lock
    // (the stream's thread may be rendering): it only pokes that thread.
    void wake();

    bool paused() const { return m_corked; }
    int underruns() const { return m_underruns; }

private:
    // How long the output stays on once it has fallen silent: the piano's
    // tail already keeps it on for the gaps of a fast passage.
    static constexpr double QuietSeconds = 0.1;
    // Below this the reverb tail is inaudible (-80 dB).
    static constexpr float SilentLevel = 1e-4f;
    static constexpr std::size_t FrameBytes = 2 * sizeof(float);

    static void signal(pa_context*, void* loop);
    static void signalStream(pa_stream*, void* loop);
    static void woken(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self);
    static void writeRequested(pa_stream*, size_t bytes, void* self);
    static void ranDry(pa_stream*, void* self);

    bool waitForContext();
    bool openStream();
    void cork(bool paused);
    void fill(std::size_t bytes);

    StreamClock& m_clock;
    AudioLatency m_latency;
    int m_quietFrames;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;

    int m_wakeFd = -1;
    pa_io_event* m_wakeEvent = nullptr;

    // Written on the stream's thread; read by wake() and paused().
    std::atomic<bool> m_corked { true };
    std::atomic<bool> m_notePending { false };
    std::atomic<int> m_underruns { 0 };
    int m_silentFrames = 0;
    bool m_realTimeAsked = false;
};

} // namespace zintaro::midi
