#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zintaro::midi {

// The metronome's keys on the percussion channel (10): a high wood block on
// the first beat of a measure, a low one on the others.
inline constexpr int PercussionChannel = 9;
inline constexpr int AccentClickKey = 76;
inline constexpr int ClickKey = 77;
inline constexpr int AccentClickVelocity = 127;
inline constexpr int ClickVelocity = 90;

// A click at a frame of the stream clock.
struct ClickAt {
    int64_t frame = 0;
    bool accent = false;
};

// The clock of the sound stream: frames rendered since the synthesizer
// started, and the clicks waiting for their frame. One thread schedules (the
// window's), the one that renders plays them; they meet in a ring of atomics,
// so rendering never waits for a lock the window holds.
class StreamClock {
public:
    static constexpr std::size_t Capacity = 512;

    // False when the ring is full; the click is dropped.
    bool schedule(ClickAt click);
    // Every click scheduled so far is dropped before it sounds.
    void cancel();

    int64_t framesRendered() const { return m_rendered.load(std::memory_order_acquire); }

    // The output's rate and how many frames it holds between rendering and
    // the ear; set before it starts.
    void setOutput(double sampleRate, int64_t bufferedFrames);
    // The frame heard at a time of the monotonic clock (steady_clock, in
    // nanoseconds), from when the last frames were rendered; nothing before
    // the first render.
    std::optional<int64_t> frameHeardAt(int64_t steadyNs) const;

    // FluidSynth's synthesizer that renders, before any output starts; kept
    // opaque so that users of the clock need not FluidSynth's headers.
    void attach(void* synth) { m_synth = synth; }

    // The rendering thread: `frames` stereo samples into the two buffers (as
    // fluid_synth_write_float takes them), split at each click's frame so
    // that its note-on reaches the synthesizer there.
    void render(int frames, float* left, int leftOffset, int leftStep, float* right, int rightOffset, int rightStep);
    // The same for a FluidSynth driver's own thread (new_fluid_audio_driver2).
    static int renderForDriver(void* clock, int frames, int effects, float* effectBuffers[], int outputs, float* out[]);

private:
    std::optional<ClickAt> nextBefore(int64_t endFrame);

    void* m_synth = nullptr;
    std::array<ClickAt, Capacity> m_ring {};
    std::atomic<uint64_t> m_written { 0 };
    std::atomic<uint64_t> m_read { 0 };
    std::atomic<uint64_t> m_droppedUpTo { 0 };
    std::atomic<int64_t> m_rendered { 0 };
    double m_rate = 48000;
    int64_t m_buffered = 0;
    // The last render's end: its frame and time, written in turn under an
    // odd sequence number so that a reader never takes half of each.
    std::atomic<uint32_t> m_sequence { 0 };
    std::atomic<int64_t> m_anchorFrame { -1 };
    std::atomic<int64_t> m_anchorNs { 0 };
};

} // namespace zintaro::midi
