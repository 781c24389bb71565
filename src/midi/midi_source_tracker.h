#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace zintaro::midi {

// A port that sends MIDI, named "client:port" as the MIDI system shows it.
struct MidiPort {
    std::string name;
    bool hardware; // a device port (ALSA) or a physical port (JACK)
};

// The MIDI system's ports as seen from the program's input port: what sends,
// what is connected to the input, and the means to change that.
class InputPortGraph {
public:
    virtual ~InputPortGraph() = default;
    virtual std::vector<MidiPort> senders() = 0;
    virtual std::vector<std::string> connectedSenders() = 0;
    virtual bool connect(const std::string& sender) = 0;
    virtual bool disconnect(const std::string& sender) = 0;
};

// The connection rule of the input: every hardware sender is connected once,
// when it is first seen (at start-up or when plugged in); the program's own
// ports never are; a sender that stops being connected (unplugged, or
// disconnected by hand) counts as lost, so its held notes can be released.
// A sender the user switched off is left alone whenever it appears.
class SourceTracker {
public:
    explicit SourceTracker(std::string ownClientName);

    void setSwitchedOff(std::set<std::string> senders) { m_switchedOff = std::move(senders); }

    // Compares the graph with what was seen last time and connects the new
    // hardware senders. Returns true when a connected sender was lost.
    bool update(InputPortGraph& graph);
    bool isOwn(const std::string& port) const;

private:
    std::string m_own;
    std::set<std::string> m_seen;
    std::set<std::string> m_connected;
    std::set<std::string> m_switchedOff;
};

} // namespace zintaro::midi
