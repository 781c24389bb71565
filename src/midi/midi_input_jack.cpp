#include "core/translation.h"
#include "midi/midi_input_graphs.h"

#include <algorithm>
#include <jack/jack.h>

namespace zintaro::midi {

namespace {

// jack_get_ports and jack_port_get_all_connections return arrays the caller
// frees with jack_free.
std::vector<std::string> takeNames(const char** names)
{
    std::vector<std::string> out;
    if (!names)
        return out;
    for (const char** n = names; *n; ++n)
        out.emplace_back(*n);
    jack_free(names);
    return out;
}

class JackGraph : public WatchedPortGraph {
public:
    JackGraph(jack_client_t* client, std::string clientName, std::function<void()> changed)
        : m_client(client)
        , m_clientName(std::move(clientName))
        , m_changed(std::move(changed))
    {
        jack_set_port_registration_callback(m_client, &JackGraph::onRegistration, this);
        jack_set_port_connect_callback(m_client, &JackGraph::onConnect, this);
        jack_on_shutdown(m_client, &JackGraph::onShutdown, this);
    }
    ~JackGraph() override { jack_client_close(m_client); }
    JackGraph(const JackGraph&) = delete;
    JackGraph& operator=(const JackGraph&) = delete;

    bool activate() { return jack_activate(m_client) == 0; }

    std::vector<std::string> ownInputs() override
    {
        std::vector<std::string> out;
        for (std::string& name : takeNames(jack_get_ports(m_client, ":in$", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput)))
            if (name.rfind(m_clientName, 0) == 0)
                out.push_back(std::move(name));
        return out;
    }

    bool setInput(const std::vector<std::string>& before) override
    {
        for (const std::string& name : ownInputs())
            if (std::ranges::find(before, name) == before.end()) {
                m_input = name;
                return true;
            }
        return false;
    }

    std::vector<MidiPort> senders() override
    {
        std::vector<MidiPort> out;
        for (std::string& name :
            takeNames(jack_get_ports(m_client, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput))) {
            const jack_port_t* port = jack_port_by_name(m_client, name.c_str());
            const bool physical = port && (jack_port_flags(port) & JackPortIsPhysical);
            out.push_back({ std::move(name), physical });
        }
        return out;
    }

    std::vector<std::string> connectedSenders() override
    {
        const jack_port_t* input = jack_port_by_name(m_client, m_input.c_str());
        return input ? takeNames(jack_port_get_all_connections(m_client, input)) : std::vector<std::string> {};
    }

    bool connect(const std::string& sender) override
    {
        return jack_connect(m_client, sender.c_str(), m_input.c_str()) == 0;
    }

    bool disconnect(const std::string& sender) override
    {
        return jack_disconnect(m_client, sender.c_str(), m_input.c_str()) == 0;
    }

private:
    // These run on JACK's notification thread, where calling back into the
    // server would deadlock: they only say that something changed.
    static void onRegistration(jack_port_id_t, int, void* self) { static_cast<JackGraph*>(self)->m_changed(); }
    static void onConnect(jack_port_id_t, jack_port_id_t, int, void* self)
    {
        static_cast<JackGraph*>(self)->m_changed();
    }
    static void onShutdown(void* self) { static_cast<JackGraph*>(self)->m_changed(); }

    jack_client_t* m_client;
    std::string m_clientName;
    std::function<void()> m_changed;
    std::string m_input;
};

} // namespace

std::unique_ptr<WatchedPortGraph> openJackGraph(
    const std::string& clientName, std::function<void()> changed, Text& reason)
{
    // libjack writes its complaints (no server, say) to the terminal; the
    // program tells its user through the status text instead.
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
    jack_status_t status {};
    const std::string watcherName = clientName + "-connections";
    jack_client_t* client = jack_client_open(watcherName.c_str(), JackNoStartServer, &status);
    if (!client) {
        reason = translate("MidiInput", "nessun server JACK è in funzione");
        return nullptr;
    }
    auto graph = std::make_unique<JackGraph>(client, clientName, std::move(changed));
    if (!graph->activate()) {
        reason = translate("MidiInput", "il server JACK ha rifiutato un client");
        return nullptr;
    }
    return graph;
}

} // namespace zintaro::midi
