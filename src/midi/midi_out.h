#pragma once

#include "midi/midi_system.h"

#include <cstdint>
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
// the device list, the open device, the channel messages, and a message box
// for every failed call.
class MidiOut {
public:
    MidiOut(MidiSystem& system, Dialogs& dialogs);

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
    MidiSystem& m_system;
    Dialogs& m_dialogs;
};

} // namespace zintaro::midi
