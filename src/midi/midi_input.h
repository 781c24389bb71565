#pragma once

#include "core/translation.h"
#include "midi/midi_input_dispatch.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace zintaro::midi {

enum class MidiInputApi { Automatic, Alsa, Jack };

// A sender of MIDI as the "Tastiera MIDI" menu lists it.
struct MidiSource {
    std::string name;
    bool connected;
};

// Why there is no MIDI input.
enum class MidiInputProblem : uint8_t {
    None, // the input is open
    NotOpened, // not asked for yet
    NoMidiSystem, // neither an ALSA sequencer nor a JACK server
    SystemRefused, // the system is there but would not take the program's client
    PortNotMade, // the client opened but its input port could not be made
};

// The program's MIDI input: one port "in" of a client named after the
// program, on the ALSA sequencer where the machine has one, otherwise on a
// running JACK server. It connects itself to every hardware sender, at
// start-up and when one is plugged in, and releases the notes held on a
// sender that goes away. Messages are handed to the sinks on the MIDI
// system's own thread, without waiting for the window.
class MidiInput {
public:
    explicit MidiInput(MidiInputSinks sinks, std::string clientName = "Zintaro");
    ~MidiInput();
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;

    // Opens the input once; false with a reason in status() when there is
    // no MIDI system to open it on.
    bool open(MidiInputApi api = MidiInputApi::Automatic);
    bool isOpen() const;
    // One line for the status text: where the input is open, or why not.
    Text status() const;
    MidiInputProblem problem() const;

    std::vector<MidiSource> sources();
    bool setConnected(const std::string& source, bool connected);
    // Senders not to connect when they appear: the keyboards the user
    // switched off, at start-up and whenever one is plugged in again.
    void setSwitchedOff(std::set<std::string> sources);

    // Releases the held notes and closes the input; also done on destruction.
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace zintaro::midi
