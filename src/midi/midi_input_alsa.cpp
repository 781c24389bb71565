#include "core/translation.h"
#include "midi/midi_input_graphs.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <atomic>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace zintaro::midi {

namespace {

constexpr unsigned SenderCaps = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
constexpr unsigned ReceiverCaps = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;

struct SeqPort {
    snd_seq_addr_t addr;
    std::string name; // "client:port"
    unsigned caps;
    unsigned type;
};

class AlsaGraph : public WatchedPortGraph {
public:
    AlsaGraph(snd_seq_t* seq, std::string clientName, std::function<void()> changed)
        : m_seq(seq)
        , m_clientName(std::move(clientName))
        , m_changed(std::move(changed))
    {
    }

    ~AlsaGraph() override
    {
        m_stopping = true;
        if (m_wake[1] >= 0 && write(m_wake[1], "x", 1) < 0) {
            // The watcher also stops at its next sequencer event.
        }
        if (m_watcher.joinable())
            m_watcher.join();
        for (const int fd : m_wake)
            if (fd >= 0)
                ::close(fd);
        snd_seq_close(m_seq);
    }
    AlsaGraph(const AlsaGraph&) = delete;
    AlsaGraph& operator=(const AlsaGraph&) = delete;

    // Listens to the sequencer's announcements of ports and connections.
    bool start()
    {
        const int port = snd_seq_create_simple_port(
            m_seq, "announcements", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT, SND_SEQ_PORT_TYPE_APPLICATION);
        if (port < 0 || snd_seq_connect_from(m_seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0)
            return false;
        if (pipe(m_wake.data()) != 0)
            return false;
        m_watcher = std::thread([this] { watch(); });
        return true;
    }

    std::vector<std::string> ownInputs() override
    {
        std::vector<std::string> out;
        for (const SeqPort& p : ports())
            if (p.name == m_clientName + ":in" && (p.caps & ReceiverCaps) == ReceiverCaps)
                out.push_back(std::to_string(p.addr.client) + ":" + std::to_string(p.addr.port));
        return out;
    }

    bool setInput(const std::vector<std::string>& before) override
    {
        for (const SeqPort& p : ports()) {
            const std::string id = std::to_string(p.addr.client) + ":" + std::to_string(p.addr.port);
            if (p.name == m_clientName + ":in" && (p.caps & ReceiverCaps) == ReceiverCaps
                && std::ranges::find(before, id) == before.end()) {
                m_input = p.addr;
                return true;
            }
        }
        return false;
    }

    std::vector<MidiPort> senders() override
    {
        std::vector<MidiPort> out;
        for (const SeqPort& p : ports())
            if ((p.caps & SenderCaps) == SenderCaps && !(p.caps & SND_SEQ_PORT_CAP_NO_EXPORT)
                && p.addr.client != SND_SEQ_CLIENT_SYSTEM)
                out.push_back({ p.name, (p.type & SND_SEQ_PORT_TYPE_HARDWARE) != 0 });
        return out;
    }

    std::vector<std::string> connectedSenders() override
    {
        std::vector<std::string> out;
        snd_seq_query_subscribe_t* query = nullptr;
        snd_seq_query_subscribe_alloca(&query);
        snd_seq_query_subscribe_set_root(query, &m_input);
        snd_seq_query_subscribe_set_type(query, SND_SEQ_QUERY_SUBS_WRITE);
        snd_seq_query_subscribe_set_index(query, 0);
        const std::vector<SeqPort> all = ports();
        while (snd_seq_query_port_subscribers(m_seq, query) >= 0) {
            const snd_seq_addr_t* from = snd_seq_query_subscribe_get_addr(query);
            for (const SeqPort& p : all)
                if (p.addr.client == from->client && p.addr.port == from->port)
                    out.push_back(p.name);
            snd_seq_query_subscribe_set_index(query, snd_seq_query_subscribe_get_index(query) + 1);
        }
        return out;
    }

    bool connect(const std::string& sender) override { return subscribe(sender, true); }
    bool disconnect(const std::string& sender) override { return subscribe(sender, false); }

private:
    std::vector<SeqPort> ports()
    {
        std::vector<SeqPort> out;
        snd_seq_client_info_t* client = nullptr;
        snd_seq_port_info_t* port = nullptr;
        snd_seq_client_info_alloca(&client);
        snd_seq_port_info_alloca(&port);
        snd_seq_client_info_set_client(client, -1);
        while (snd_seq_query_next_client(m_seq, client) >= 0) {
            const int id = snd_seq_client_info_get_client(client);
            if (id == snd_seq_client_id(m_seq))
                continue;
            snd_seq_port_info_set_client(port, id);
            snd_seq_port_info_set_port(port, -1);
            while (snd_seq_query_next_port(m_seq, port) >= 0) {
                const std::string name
                    = std::string(snd_seq_client_info_get_name(client)) + ":" + snd_seq_port_info_get_name(port);
                out.push_back({ *snd_seq_port_info_get_addr(port), name, snd_seq_port_info_get_capability(port),
                    snd_seq_port_info_get_type(port) });
            }
        }
        return out;
    }

    bool subscribe(const std::string& sender, bool on)
    {
        for (const SeqPort& p : ports()) {
            if (p.name != sender)
                continue;
            snd_seq_port_subscribe_t* sub = nullptr;
            snd_seq_port_subscribe_alloca(&sub);
            snd_seq_port_subscribe_set_sender(sub, &p.addr);
            snd_seq_port_subscribe_set_dest(sub, &m_input);
            return (on ? snd_seq_subscribe_port(m_seq, sub) : snd_seq_unsubscribe_port(m_seq, sub)) >= 0;
        }
        return false;
    }

    void watch()
    {
        const int count = snd_seq_poll_descriptors_count(m_seq, POLLIN);
        std::vector<pollfd> fds(static_cast<std::size_t>(count) + 1);
        snd_seq_poll_descriptors(m_seq, fds.data(), static_cast<unsigned>(count), POLLIN);
        fds.back() = { m_wake[0], POLLIN, 0 };
        while (!m_stopping) {
            if (poll(fds.data(), fds.size(), -1) < 0)
                continue;
            bool any = false;
            snd_seq_event_t* event = nullptr;
            while (!m_stopping && snd_seq_event_input_pending(m_seq, 1) > 0 && snd_seq_event_input(m_seq, &event) >= 0)
                any = true;
            if (any && !m_stopping)
                m_changed();
        }
    }

    snd_seq_t* m_seq;
    std::string m_clientName;
    std::function<void()> m_changed;
    snd_seq_addr_t m_input {};
    std::array<int, 2> m_wake { -1, -1 };
    std::atomic<bool> m_stopping = false;
    std::thread m_watcher;
};

} // namespace

std::unique_ptr<WatchedPortGraph> openAlsaGraph(
    const std::string& clientName, std::function<void()> changed, Text& reason)
{
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) {
        reason = translate("MidiInput", "il sequencer ALSA non si può aprire");
        return nullptr;
    }
    snd_seq_set_client_name(seq, (clientName + "-connections").c_str());
    auto graph = std::make_unique<AlsaGraph>(seq, clientName, std::move(changed));
    if (!graph->start()) {
        reason = translate("MidiInput", "il sequencer ALSA non dà annunci");
        return nullptr;
    }
    return graph;
}

} // namespace zintaro::midi
