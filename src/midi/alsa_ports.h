#pragma once

#include "midi/midi_system.h"

#include <memory>
#include <string>
#include <vector>

namespace zintaro::midi {

// One open connection to an ALSA sequencer port.
class AlsaConnection {
public:
    virtual ~AlsaConnection() = default;
    // A short channel message packed as status | data1 << 8 | data2 << 16.
    virtual MidiResult send(uint32_t packed) = 0;
};

// The output ports of the ALSA sequencer, reached through RtMidi. Without a
// sequencer (no /dev/snd/seq) the list is empty and nothing is reported.
class AlsaPorts {
public:
    // Ports of clients whose name starts with clientName are the program's
    // own and are never listed, so that it cannot play into itself.
    explicit AlsaPorts(std::string clientName = "Zintaro");
    ~AlsaPorts();
    AlsaPorts(const AlsaPorts&) = delete;
    AlsaPorts& operator=(const AlsaPorts&) = delete;

    static bool sequencerPresent();

    // The names of the output ports now; a port whose name cannot be read
    // keeps its place with an empty name.
    std::vector<std::string> list();

    // Connects to the port listed under this name: PortVanished when it is
    // no longer there, PortFailed when the sequencer refuses it.
    MidiResult open(const std::string& name, std::unique_ptr<AlsaConnection>& connection);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace zintaro::midi
