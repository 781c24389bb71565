#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

struct _fluid_synth_t;

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

    // The synthesizer rendered, before any output starts.
    void attach(_fluid_synth_t* synth) { m_synth = synth; }

    // The rendering thread: `frames` stereo samples into the two buffers (as
    // fluid_synth_write_float takes them), split at each click's frame so
    // that its note-on reaches the synthesizer there.
    void render(int frames, float* left, int leftOffset, int leftStep, float* right, int rightOffset, int rightStep);
    // The same for a FluidSynth driver's own thread (new_fluid_audio_driver2).
    static int renderForDriver(void* clock, int frames, int effects, float* effectBuffers[], int outputs, float* out[]);

private:
    std::optional<ClickAt> nextBefore(int64_t endFrame);

    _fluid_synth_t* m_synth = nullptr;
    std::array<ClickAt, Capacity> m_ring {};
    std::atomic<uint64_t> m_written { 0 };
    std::atomic<uint64_t> m_read { 0 };
    std::atomic<uint64_t> m_droppedUpTo { 0 };
    std::atomic<int64_t> m_rendered { 0 };
};

} // namespace zintaro::midi
