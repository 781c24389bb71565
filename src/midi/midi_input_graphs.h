#pragma once

#include "core/translation.h"
#include "midi/midi_source_tracker.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zintaro::midi {

// The port graph of one MIDI system, reached through a client of its own
// that watches the system and calls `changed` (on any thread) whenever ports
// come, go or are connected.
class WatchedPortGraph : public InputPortGraph {
public:
    // The ports "in" of clients named like the program, as they are now.
    virtual std::vector<std::string> ownInputs() = 0;
    // Takes the own input that is not among `before` as the program's input,
    // the one the other calls refer to; false when there is none.
    virtual bool setInput(const std::vector<std::string>& before) = 0;
};

// Null with a reason when the system cannot be reached.
std::unique_ptr<WatchedPortGraph> openJackGraph(
    const std::string& clientName, std::function<void()> changed, Text& reason);
std::unique_ptr<WatchedPortGraph> openAlsaGraph(
    const std::string& clientName, std::function<void()> changed, Text& reason);

} // namespace zintaro::midi
