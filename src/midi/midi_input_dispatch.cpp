#include "midi/midi_input_dispatch.h"

#include "core/pitch.h"
#include "midi/channel_message.h"

namespace zintaro::midi {

namespace {

// Every keyboard plays on channel 0.
constexpr uint8_t NoteOnChannel0 = status::NoteOn;
constexpr uint8_t ControlChannel0 = status::ControlChange;

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
    const int noteIndex = keyOfMidiNote(event.data1);
    switch (event.type) {
    case MidiEvent::Type::NoteOn:
        m_held[event.data1].store(true, std::memory_order_relaxed);
        m_sinks.soundNow(packMessage(NoteOnChannel0, event.data1, event.data2));
        if (noteIndex >= 0)
            m_sinks.post({ static_cast<int16_t>(noteIndex), event.data2, true });
        break;
    case MidiEvent::Type::NoteOff:
        m_held[event.data1].store(false, std::memory_order_relaxed);
        noteOff(event.data1);
        break;
    case MidiEvent::Type::ControlChange:
        // Only the pedal: the other controllers would fight the instrument
        // and volume the window has chosen.
        if (event.data1 == controller::SustainPedal)
            m_sinks.soundNow(packMessage(ControlChannel0, event.data1, event.data2));
        break;
    }
}

void MidiInputDispatch::releaseHeldNotes()
{
    for (std::size_t note = 0; note < m_held.size(); ++note)
        if (m_held[note].exchange(false))
            noteOff(static_cast<uint8_t>(note));
    // A pedal held down on a keyboard that went away would hold every note on.
    m_sinks.soundNow(packMessage(ControlChannel0, controller::SustainPedal, 0));
}

void MidiInputDispatch::noteOff(uint8_t note)
{
    m_sinks.soundNow(packMessage(NoteOnChannel0, note, 0));
    const int noteIndex = keyOfMidiNote(note);
    if (noteIndex >= 0)
        m_sinks.post({ static_cast<int16_t>(noteIndex), 0, false });
}

} // namespace zintaro::midi
