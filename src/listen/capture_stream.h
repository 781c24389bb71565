#pragma once

#include "listen/listener.h"
#include "listen/pitch_detector.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace zintaro::listen {

// The default input of the sound server, read on a thread of the stream's
// own and fed to a pitch detector there. Nothing waits: start() returns at
// once and the state moves on from Starting; notes and the level are taken
// from any thread; `changed` (optional) is called on the stream's thread
// when notes were heard or the state moved, for the window to post itself
// a call (the level is for a meter to read on its own timer). Stopped, it
// has no thread and costs nothing.
class CaptureStream final : public Listener {
public:
    static constexpr double SampleRate = 48000.0;

    explicit CaptureStream(std::function<void()> changed = {});
    ~CaptureStream() override;
    CaptureStream(const CaptureStream&) = delete;
    CaptureStream& operator=(const CaptureStream&) = delete;

    // Starts listening with these notes and tuning (the sample rate is
    // the stream's own); a second start restarts.
    void start(const DetectorSettings& settings, const char* source);
    void start(const DetectorSettings& settings) override { start(settings, nullptr); }
    void stop() override;
    // A new range or tuning, taken from the next block on.
    void configure(const DetectorSettings& settings) override;

    CaptureState state() const override { return m_state; }
    std::optional<CaptureFailure> failure() const override;
    // The notes heard since the last call, oldest first.
    std::vector<CapturedNote> takeNotes() override;
    // The input's loudness in dB below full scale, for a level meter.
    double levelDb() const override { return m_level; }

private:
    struct Pulse;
    friend struct Pulse;

    void fail(CaptureFailure failure);
    void analyse(const float* samples, std::size_t count, std::chrono::nanoseconds latency);
    void tell() const;

    std::function<void()> m_changed;
    std::unique_ptr<Pulse> m_pulse;
    std::atomic<CaptureState> m_state { CaptureState::Stopped };
    std::atomic<int> m_failure { -1 };
    std::atomic<double> m_level { -120.0 };

    mutable std::mutex m_mutex;
    std::vector<CapturedNote> m_notes;
    std::optional<DetectorSettings> m_newSettings;
    // Used on the stream's thread only.
    std::unique_ptr<PitchDetector> m_detector;
    int64_t m_samplesRead = 0;
    std::chrono::steady_clock::time_point m_firstSample;
};

} // namespace zintaro::listen
