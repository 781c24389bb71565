#include "midi/alsa_ports.h"

#include "midi/channel_message.h"
#include "midi/midi_errors.h"

#include <RtMidi.h>
#include <array>
#include <unistd.h>

namespace zintaro::midi {

namespace {

// RtMidi reports through this instead of throwing once it is set.
struct ErrorFlag {
    bool raised = false;
    static void callback(RtMidiError::Type type, const std::string&, void* self)
    {
        if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
            static_cast<ErrorFlag*>(self)->raised = true;
    }
};

// A fresh client of the sequencer, or none when ALSA refuses one.
std::unique_ptr<RtMidiOut> makeClient(const std::string& clientName, ErrorFlag& flag)
{
    try {
        auto client = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, clientName);
        client->setErrorCallback(&ErrorFlag::callback, &flag);
        return client;
    } catch (const std::exception&) {
        return nullptr;
    }
}

class RtMidiConnection : public AlsaConnection {
public:
    RtMidiConnection(std::unique_ptr<RtMidiOut> client, std::unique_ptr<ErrorFlag> flag)
        : m_client(std::move(client))
        , m_flag(std::move(flag))
    {
    }
    ~RtMidiConnection() override
    {
        // Notes left sounding on an external device would hang on.
        for (int channel = 0; channel < ChannelCount; ++channel) {
            const std::array<unsigned char, 3> allNotesOff {
                static_cast<unsigned char>(status::ControlChange | channel), controller::AllNotesOff, 0
            };
            m_client->sendMessage(allNotesOff.data(), allNotesOff.size());
        }
        m_client->closePort();
    }

    MidiResult send(uint32_t packed) override
    {
        const ShortMessage message = unpack(packed);
        const std::array<unsigned char, 3> bytes { message.status, message.data1, message.data2 };
        const auto size = std::size_t { 1 } + static_cast<std::size_t>(dataLength(message.status));
        m_flag->raised = false;
        m_client->sendMessage(bytes.data(), size);
        return m_flag->raised ? errors::SendFailed : MidiOk;
    }

private:
    std::unique_ptr<RtMidiOut> m_client;
    std::unique_ptr<ErrorFlag> m_flag;
};

} // namespace

struct AlsaPorts::Impl {
    std::string clientName;
    ErrorFlag flag;
    std::unique_ptr<RtMidiOut> lister;

    bool ownPort(const std::string& name) const { return name.rfind(clientName, 0) == 0; }

    // The sequencer's ports in its own numbering, with our own left in so
    // that the numbers stay the ones openPort expects.
    std::vector<std::string> allPorts()
    {
        std::vector<std::string> names;
        if (!lister) {
            if (!sequencerPresent())
                return names;
            lister = makeClient(clientName, flag);
            if (!lister)
                return names;
        }
        flag.raised = false;
        const unsigned int count = lister->getPortCount();
        for (unsigned int i = 0; i < count && !flag.raised; ++i)
            names.push_back(lister->getPortName(i));
        if (flag.raised)
            names.resize(names.empty() ? 0 : names.size() - 1);
        return names;
    }
};

AlsaPorts::AlsaPorts(std::string clientName)
    : m(std::make_unique<Impl>())
{
    m->clientName = std::move(clientName);
}

AlsaPorts::~AlsaPorts() = default;

bool AlsaPorts::sequencerPresent()
{
    return ::access("/dev/snd/seq", R_OK | W_OK) == 0;
}

std::vector<std::string> AlsaPorts::list()
{
    std::vector<std::string> names;
    for (std::string& name : m->allPorts())
        if (name.empty() || !m->ownPort(name))
            names.push_back(std::move(name));
    return names;
}

MidiResult AlsaPorts::open(const std::string& name, std::unique_ptr<AlsaConnection>& connection)
{
    if (name.empty() || m->ownPort(name))
        return errors::PortFailed;
    const std::vector<std::string> ports = m->allPorts();
    unsigned int number = 0;
    while (number < ports.size() && ports[number] != name)
        ++number;
    if (number == ports.size())
        return errors::PortVanished;

    auto flag = std::make_unique<ErrorFlag>();
    std::unique_ptr<RtMidiOut> client = makeClient(m->clientName, *flag);
    if (!client)
        return errors::PortFailed;
    client->openPort(number, m->clientName + " output");
    if (flag->raised || !client->isPortOpen())
        return errors::PortFailed;
    connection = std::make_unique<RtMidiConnection>(std::move(client), std::move(flag));
    return MidiOk;
}

} // namespace zintaro::midi
