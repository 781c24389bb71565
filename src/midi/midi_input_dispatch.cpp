#include "midi/midi_input_dispatch.h"

#include "core/note_model.h"

namespace zintaro::midi {

namespace {

constexpr uint32_t NoteOnChannel0 = 0x90;
constexpr uint32_t ControlChannel0 = 0xB0;
constexpr uint8_t SustainPedal = 64;

constexpr uint32_t pack(uint32_t status, uint8_t data1, uint8_t data2)
{
    return status | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

} // namespace

MidiInputDispatch::MidiInputDispatch(MidiInputSinks sinks)
    : m_sinks(std::move(sinks))
{
}

void MidiInputDispatch::receive(std::span<const uint8_t> bytes)
{
    m_parser.feed(bytes, [this](const MidiEvent& event) { receive(event); });
}

void MidiInputDispatch::receive(const MidiEvent& event)
{
    const int noteIndex = event.data1 - MidiNoteOffset;
    switch (event.type) {
    case MidiEvent::Type::NoteOn:
        m_held[event.data1].store(true, std::memory_order_relaxed);
        m_sinks.soundNow(pack(NoteOnChannel0, event.data1, event.data2));
        m_sinks.post({ static_cast<int16_t>(noteIndex), event.data2, true });
        break;
    case MidiEvent::Type::NoteOff:
        m_held[event.data1].store(false, std::memory_order_relaxed);
        noteOff(event.data1);
        break;
    case MidiEvent::Type::ControlChange:
        // Only the pedal: the other controllers would fight the instrument
        // and volume the window has chosen.
        if (event.data1 == SustainPedal)
            m_sinks.soundNow(pack(ControlChannel0, event.data1, event.data2));
        break;
    }
}

void MidiInputDispatch::releaseHeldNotes()
{
    for (std::size_t note = 0; note < m_held.size(); ++note)
        if (m_held[note].exchange(false))
            noteOff(static_cast<uint8_t>(note));
    // A pedal held down on a keyboard that went away would hold every note on.
    m_sinks.soundNow(pack(ControlChannel0, SustainPedal, 0));
}

void MidiInputDispatch::noteOff(uint8_t note)
{
    m_sinks.soundNow(pack(NoteOnChannel0, note, 0));
    m_sinks.post({ static_cast<int16_t>(note - MidiNoteOffset), 0, false });
}

} // namespace zintaro::midi
