// Feeds arbitrary bytes to the MIDI input as a keyboard would send them and
// checks what must hold whatever arrives: only note and pedal messages on
// channel 0 with 7-bit data reach the synthesizer, only piano notes are
// posted, and once the held notes are released no note is left sounding.
#include "core/pitch.h"
#include "midi/midi_input_dispatch.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    using namespace zintaro::midi;

    std::array<bool, 128> sounding {};
    MidiInputSinks sinks {
        [&](uint32_t packed) {
            const uint32_t status = packed & 0xFF;
            const uint32_t data1 = (packed >> 8) & 0xFF;
            const uint32_t data2 = (packed >> 16) & 0xFF;
            require(packed >> 24 == 0 && data1 < 128 && data2 < 128);
            require(status == 0x90 || (status == 0xB0 && data1 == 64));
            if (status == 0x90)
                sounding[data1] = data2 != 0;
        },
        [](NoteEvent event) {
            // Every MIDI note reaches the window, counted from the piano's lowest key.
            require(zintaro::midiNoteOfKey(event.noteIndex) >= 0 && zintaro::midiNoteOfKey(event.noteIndex) < 128);
            require(event.velocity >= 0 && event.velocity < 128);
            require(event.pressed == (event.velocity != 0));
        },
    };
    MidiInputDispatch dispatch(sinks);
    // The bytes arrive split in two messages, as a MIDI system may hand them.
    const std::span<const uint8_t> bytes(data, size);
    dispatch.receive(bytes.first(size / 2));
    dispatch.receive(bytes.subspan(size / 2));
    dispatch.releaseHeldNotes();
    for (const bool on : sounding)
        require(!on);
    return 0;
}
