#pragma once

#include "midi/midi_errors.h"
#include "midi/midi_system.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zintaro::midi {

struct DeviceEntry {
    std::string text; // the product name as shown
    int16_t deviceId; // the device identifier: -1 the built-in synthesizer
};

// The one MIDI output of the program: the device list, the open device and
// the channel messages. It never shows anything: each failure goes to the
// failure listener as data, and the window decides how to tell it. Called
// from the window's thread only.
class MidiOut {
public:
    struct Listener {
        // A message or an open failed; called at every failure, so the
        // window sees a failure that lasts as well as a new one.
        std::function<void(const MidiFailure& failure)> failed;
        // Sound works again after a failure: a note went through, or
        // another device opened.
        std::function<void()> recovered;
        // Another device was chosen: its failures are news again.
        std::function<void()> deviceChanged;
    };

    explicit MidiOut(MidiSystem& system);

    void setListener(Listener listener) { m_listener = std::move(listener); }

    std::vector<DeviceEntry> deviceList();
    bool open(int16_t deviceId);
    void close();
    // The handle of the open device, 0 when none is open.
    uint32_t handle() const { return m_handle; }
    // The failure that stands until sound works again, if any.
    const std::optional<MidiFailure>& failure() const { return m_failure; }

    void noteOn(int channel, int note, int velocity);
    void noteOff(int channel, int note);
    void controlChange(int channel, int controller, int value);
    void programChange(int channel, int bank, int program);

    // The device chosen in the list: close, open the entry's device and send
    // it the chosen instrument on channel 0, bank 0.
    void selectDevice(int16_t deviceId, int program);

private:
    void send(uint8_t kind, int channel, int data1, int data2);
    void fail(MidiResult code);
    void soundWorks();

    MidiSystem& m_system;
    Listener m_listener;
    uint32_t m_handle = 0;
    int16_t m_deviceId = 0; // the device opened last, or tried
    std::optional<MidiResult> m_openFailure; // why the last open failed
    std::optional<MidiFailure> m_failure;
};

} // namespace zintaro::midi
