#include "midi/midi_source_tracker.h"

#include <algorithm>

namespace zintaro::midi {

SourceTracker::SourceTracker(std::string ownClientName)
    : m_own(std::move(ownClientName))
{
}

bool SourceTracker::isOwn(const std::string& port) const
{
    // "Zintaro:in", and "Zintaro-01:in" when JACK renamed a second client.
    return port.rfind(m_own, 0) == 0
        && (port.size() == m_own.size() || port[m_own.size()] == ':' || port[m_own.size()] == '-');
}

bool SourceTracker::update(InputPortGraph& graph)
{
    std::set<std::string> present;
    for (const MidiPort& port : graph.senders()) {
        if (isOwn(port.name))
            continue;
        present.insert(port.name);
        if (port.hardware && !m_seen.contains(port.name) && !m_switchedOff.contains(port.name))
            graph.connect(port.name);
    }
    // A sender that goes away is forgotten, so that it is connected again
    // when it comes back.
    m_seen = std::move(present);

    const std::vector<std::string> now = graph.connectedSenders();
    const std::set<std::string> connected(now.begin(), now.end());
    const bool lost = std::ranges::any_of(m_connected, [&](const std::string& s) { return !connected.contains(s); });
    m_connected = connected;
    return lost;
}

} // namespace zintaro::midi
