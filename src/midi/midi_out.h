#pragma once

#include "midi/midi_system.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zintaro {
class Dialogs;
}

namespace zintaro::midi {

struct DeviceEntry {
    std::string text; // the product name as shown
    int16_t itemData; // the device identifier: -1 the built-in synthesizer
};

// The one MIDI output of the program (the modules MIDI_OUT and MIDI_CMD):
// the device list, the open device and the channel messages.
//
// Failures are told in a message box once per kind: after the first failure
// of a kind, the same failure goes only to the status text, until another
// device is chosen. So an output that cannot sound (no audio
// output on the machine) is told once, not at every note. The status text
// shows the last failure and is cleared when a message goes through again.
class MidiOut {
public:
    using StatusSink = std::function<void(const std::string& text)>;

    MidiOut(MidiSystem& system, Dialogs& dialogs);

    // Where the status text goes; empty text when sound works again.
    void setStatusSink(StatusSink sink) { m_status = std::move(sink); }

    // MIDI_OUT
    std::vector<DeviceEntry> FillDeviceList();
    bool OpenMidiOut(int16_t deviceId);
    void CloseMidiOut();
    void ShowMidiError(int16_t code);
    uint32_t MidiOutHandle = 0;

    // MIDI_CMD
    static int32_t PackShortMessage(int16_t status, int16_t data1, int16_t data2);
    void SendShortMessage(int16_t status, int16_t data1, int16_t data2);
    void NoteOn(int16_t channel, int16_t note, int16_t velocity);
    void NoteOff(int16_t channel, int16_t note);
    void ControlChange(int16_t channel, int16_t controller, int16_t value);
    void ProgramChange(int16_t channel, int16_t bank, int16_t program);

    // The device selection of List1: close, open the entry's device and send
    // it the chosen instrument on channel 0, bank 0.
    void SelectDevice(int16_t itemData, int16_t program);

private:
    void soundWorks();

    MidiSystem& m_system;
    Dialogs& m_dialogs;
    StatusSink m_status;
    std::set<int16_t> m_told; // failures boxed since the device was chosen
    int16_t m_deviceId = 0; // the device opened last, or tried
    std::optional<int16_t> m_openFailure; // why the last open failed
    bool m_failing = false; // the status text shows a failure
};

} // namespace zintaro::midi
