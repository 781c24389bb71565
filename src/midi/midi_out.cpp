#include "midi/midi_out.h"

#include "core/dialogs.h"
#include "midi/channel_message.h"
#include "midi/midi_errors.h"

#include <algorithm>

namespace zintaro::midi {

namespace {

constexpr int16_t StatusNoteOn = 0x90;
constexpr int16_t StatusControlChange = 0xB0;
constexpr int16_t StatusProgramChange = 0xC0;
constexpr int16_t ControllerBankSelect = 0;

// What the system's capability record can hold: 32 characters with the
// terminating NUL, so at most 31 are shown.
constexpr std::size_t ProductNameChars = 31;
// Error texts are cut at 255 characters: the program's own texts say what
// still works and what to do, which takes more than a line.
constexpr std::size_t ErrorTextChars = 255;

std::string upToNul(const std::string& text, std::size_t limit)
{
    return text.substr(0, std::min(text.find('\0'), limit));
}

bool isChannel(int16_t channel)
{
    return channel >= 0 && channel <= 15;
}

} // namespace

MidiOut::MidiOut(MidiSystem& system, Dialogs& dialogs)
    : m_system(system)
    , m_dialogs(dialogs)
{
}

std::vector<DeviceEntry> MidiOut::FillDeviceList()
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

bool MidiOut::OpenMidiOut(int16_t deviceId)
{
    CloseMidiOut();
    // Another device may fail in ways of its own: they are told anew.
    if (deviceId != m_deviceId)
        m_told.clear();
    m_deviceId = deviceId;
    uint32_t handle = 0;
    const auto code = static_cast<int16_t>(m_system.open(handle, static_cast<int32_t>(deviceId)));
    if (code != 0) {
        m_openFailure = code;
        ShowMidiError(code);
        return false;
    }
    MidiOutHandle = handle;
    m_openFailure.reset();
    soundWorks();
    return true;
}

void MidiOut::CloseMidiOut()
{
    if (MidiOutHandle == 0)
        return;
    const auto code = static_cast<int16_t>(m_system.close(MidiOutHandle));
    if (code != 0)
        ShowMidiError(code);
    MidiOutHandle = 0;
}

void MidiOut::ShowMidiError(int16_t code)
{
    const std::string text = upToNul(m_system.errorText(static_cast<MidiResult>(code)), ErrorTextChars);
    m_failing = true;
    if (m_status)
        m_status(text);
    if (m_told.insert(code).second)
        m_dialogs.message(text);
}

void MidiOut::soundWorks()
{
    if (!m_failing)
        return;
    m_failing = false;
    if (m_status)
        m_status({});
}

int32_t MidiOut::PackShortMessage(int16_t status, int16_t data1, int16_t data2)
{
    // data1 × 256 is a 16-bit product, as the message layout was defined;
    // the sums run in unsigned 32-bit arithmetic so that no input overflows.
    const auto shifted1 = static_cast<int16_t>(data1 * 256);
    const uint32_t packed = static_cast<uint32_t>(static_cast<int32_t>(data2)) * 65536u
        + static_cast<uint32_t>(static_cast<int32_t>(shifted1)) + static_cast<uint32_t>(static_cast<int32_t>(status));
    return static_cast<int32_t>(packed);
}

void MidiOut::SendShortMessage(int16_t status, int16_t data1, int16_t data2)
{
    // A byte outside 0..127 (a note read from a damaged file, say) would
    // change the meaning of the message: it is reported, never sent.
    if (!isStatusByte(status) || !isDataByte(data1) || !isDataByte(data2)) {
        ShowMidiError(static_cast<int16_t>(errors::DataOutOfRange));
        return;
    }
    const auto packed = static_cast<uint32_t>(PackShortMessage(status, data1, data2));
    const auto code = static_cast<int16_t>(m_system.shortMessage(MidiOutHandle, packed));
    if (code == 0)
        soundWorks();
    else if (MidiOutHandle == 0 && m_openFailure)
        ShowMidiError(*m_openFailure); // the device that could not open, told already
    else
        ShowMidiError(code);
}

void MidiOut::NoteOn(int16_t channel, int16_t note, int16_t velocity)
{
    SendShortMessage(isChannel(channel) ? static_cast<int16_t>(StatusNoteOn + channel) : -1, note, velocity);
}

void MidiOut::NoteOff(int16_t channel, int16_t note)
{
    NoteOn(channel, note, 0);
}

void MidiOut::ControlChange(int16_t channel, int16_t controller, int16_t value)
{
    SendShortMessage(isChannel(channel) ? static_cast<int16_t>(StatusControlChange + channel) : -1, controller, value);
}

void MidiOut::ProgramChange(int16_t channel, int16_t bank, int16_t program)
{
    ControlChange(channel, ControllerBankSelect, bank);
    SendShortMessage(isChannel(channel) ? static_cast<int16_t>(StatusProgramChange + channel) : -1, program, 0);
}

void MidiOut::SelectDevice(int16_t itemData, int16_t program)
{
    CloseMidiOut();
    OpenMidiOut(itemData);
    ProgramChange(0, 0, program);
}

} // namespace zintaro::midi
