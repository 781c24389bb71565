#include "midi/midi_out.h"

#include "midi/channel_message.h"

#include <algorithm>

namespace zintaro::midi {

namespace {

// What the system's capability record can hold: 32 characters with the
// terminating NUL, so at most 31 are shown.
constexpr std::size_t ProductNameChars = 31;

std::string upToNul(const std::string& text, std::size_t limit)
{
    return text.substr(0, std::min(text.find('\0'), limit));
}

bool isChannel(int channel)
{
    return channel >= 0 && channel < ChannelCount;
}

} // namespace

MidiOut::MidiOut(MidiSystem& system)
    : m_system(system)
{
}

std::vector<DeviceEntry> MidiOut::deviceList()
{
    std::vector<DeviceEntry> list;
    std::string name;
    // The built-in synthesizer stands first, where the system's MIDI mapper would.
    if (m_system.deviceName(-1, name) == MidiOk)
        list.push_back({ upToNul(name, ProductNameChars), -1 });
    const auto count = static_cast<int16_t>(m_system.deviceCount());
    for (int16_t id = 0; id < count; ++id) {
        name.clear();
        if (m_system.deviceName(id, name) == MidiOk)
            list.push_back({ upToNul(name, ProductNameChars), id });
    }
    return list;
}

bool MidiOut::open(int16_t deviceId)
{
    close();
    const bool anotherDevice = deviceId != m_deviceId;
    m_deviceId = deviceId;
    if (anotherDevice) {
        // Another device may fail in ways of its own, and no longer fails
        // in the old one's.
        if (m_listener.deviceChanged)
            m_listener.deviceChanged();
        soundWorks();
    }
    uint32_t handle = 0;
    const MidiResult code = m_system.open(handle, deviceId);
    if (code != MidiOk) {
        m_openFailure = code;
        fail(code);
        return false;
    }
    m_handle = handle;
    // Opening proves nothing about sound (the built-in synthesizer opens
    // without an audio output): only a note that goes through clears a failure
    // of the same device, except the open's own.
    if (m_openFailure && m_failure && m_failure->code == *m_openFailure)
        soundWorks();
    m_openFailure.reset();
    return true;
}

void MidiOut::close()
{
    if (m_handle == 0)
        return;
    const MidiResult code = m_system.close(m_handle);
    m_handle = 0;
    if (code != MidiOk)
        fail(code);
}

void MidiOut::fail(MidiResult code)
{
    m_failure = MidiFailure { problemOf(code), code, m_system.errorText(code) };
    if (m_listener.failed)
        m_listener.failed(*m_failure);
}

void MidiOut::soundWorks()
{
    if (!m_failure)
        return;
    m_failure.reset();
    if (m_listener.recovered)
        m_listener.recovered();
}

void MidiOut::send(uint8_t kind, int channel, int data1, int data2)
{
    // A byte outside 0..127 (a note read from a damaged file, say) would
    // change the meaning of the message: it is reported, never sent.
    if (!isChannel(channel) || !isDataByte(data1) || !isDataByte(data2)) {
        fail(errors::DataOutOfRange);
        return;
    }
    const uint32_t packed = channelMessage(kind, channel, data1, data2);
    const MidiResult code = m_system.shortMessage(m_handle, packed);
    if (code == MidiOk) {
        // A note-off or a controller is taken even by an output that cannot
        // sound: only a note that starts proves that sound works.
        if (unpack(packed).startsNote())
            soundWorks();
    } else if (m_handle == 0 && m_openFailure) {
        fail(*m_openFailure); // the device that could not open
    } else {
        fail(code);
    }
}

void MidiOut::noteOn(int channel, int note, int velocity)
{
    send(status::NoteOn, channel, note, velocity);
}

void MidiOut::noteOff(int channel, int note)
{
    send(status::NoteOn, channel, note, 0);
}

void MidiOut::controlChange(int channel, int controller, int value)
{
    send(status::ControlChange, channel, controller, value);
}

void MidiOut::programChange(int channel, int bank, int program)
{
    controlChange(channel, controller::BankSelect, bank);
    send(status::ProgramChange, channel, program, 0);
}

void MidiOut::selectDevice(int16_t deviceId, int program)
{
    open(deviceId);
    programChange(0, 0, program);
}

} // namespace zintaro::midi
