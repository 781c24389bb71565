#include "midi/midi_input.h"

#include "core/translation.h"
#include "midi/midi_input_graphs.h"

#include <RtMidi.h>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace zintaro::midi {

namespace {

const char* const SequencerDevice = "/dev/snd/seq";

void ignoreRtMidiError(RtMidiError::Type, const std::string&, void*)
{
}

} // namespace

struct MidiInput::Impl {
    Impl(MidiInputSinks sinks, std::string name)
        : clientName(std::move(name))
        , dispatch(std::move(sinks))
        , tracker(clientName)
    {
    }

    static void onMessage(double, std::vector<unsigned char>* message, void* self)
    {
        if (message)
            static_cast<Impl*>(self)->dispatch.receive(std::span<const uint8_t>(message->data(), message->size()));
    }

    void graphChanged()
    {
        {
            const std::lock_guard lock(mutex);
            changed = true;
        }
        wake.notify_one();
    }

    // Connections are made off the MIDI systems' own threads: calling back
    // into JACK from its notification thread would deadlock.
    void watch()
    {
        std::unique_lock lock(mutex);
        while (true) {
            wake.wait(lock, [this] { return changed || stopping; });
            if (stopping)
                return;
            changed = false;
            tracker.setSwitchedOff(switchedOff);
            lock.unlock();
            if (tracker.update(*graph))
                dispatch.releaseHeldNotes();
            lock.lock();
        }
    }

    bool openOn(RtMidi::Api api, const char* systemName)
    {
        Text reason;
        graph = api == RtMidi::UNIX_JACK ? openJackGraph(
                    clientName, [this] { graphChanged(); }, reason)
                                         : openAlsaGraph(
                                             clientName, [this] { graphChanged(); }, reason);
        if (!graph) {
            problem = MidiInputProblem::SystemRefused;
            status = translate("MidiInput", "Nessun ingresso MIDI: %1.").arg(reason);
            return false;
        }
        const std::vector<std::string> before = graph->ownInputs();
        try {
            input = std::make_unique<RtMidiIn>(api, clientName);
            input->setErrorCallback(&ignoreRtMidiError, nullptr);
            input->setCallback(&Impl::onMessage, this);
            input->openVirtualPort("in");
        } catch (const RtMidiError& error) {
            input.reset();
            graph.reset();
            problem = MidiInputProblem::SystemRefused;
            status = translate("MidiInput", "Nessun ingresso MIDI: %1").arg(Text::verbatim(error.getMessage()));
            return false;
        }
        if (!graph->setInput(before)) {
            input.reset();
            graph.reset();
            problem = MidiInputProblem::PortNotMade;
            status = translate("MidiInput", "Nessun ingresso MIDI: la porta non si è potuta creare su %1.")
                         .arg(systemName);
            return false;
        }
        problem = MidiInputProblem::None;
        status = translate("MidiInput", "Ingresso MIDI: %1, %2:in.").arg(systemName).arg(clientName);
        {
            const std::lock_guard lock(mutex);
            tracker.setSwitchedOff(switchedOff);
        }
        tracker.update(*graph);
        watcher = std::thread([this] { watch(); });
        return true;
    }

    void close()
    {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_one();
        if (watcher.joinable())
            watcher.join();
        graph.reset();
        // RtMidi stops its thread before the port goes, so no message
        // arrives after the notes are released.
        input.reset();
        dispatch.releaseHeldNotes();
    }

    std::string clientName;
    MidiInputDispatch dispatch;
    SourceTracker tracker;
    std::unique_ptr<WatchedPortGraph> graph;
    std::unique_ptr<RtMidiIn> input;
    Text status = translate("MidiInput", "Nessun ingresso MIDI.");
    MidiInputProblem problem = MidiInputProblem::NotOpened;

    std::mutex mutex;
    std::condition_variable wake;
    bool changed = false;
    std::set<std::string> switchedOff; // the watcher hands it to the tracker
    bool stopping = false;
    std::thread watcher;
};

MidiInput::MidiInput(MidiInputSinks sinks, std::string clientName)
    : m(std::make_unique<Impl>(std::move(sinks), std::move(clientName)))
{
}

MidiInput::~MidiInput()
{
    close();
}

bool MidiInput::open(MidiInputApi api)
{
    if (isOpen())
        return true;
    const bool alsa
        = api == MidiInputApi::Alsa || (api == MidiInputApi::Automatic && access(SequencerDevice, R_OK | W_OK) == 0);
    if (alsa)
        return m->openOn(RtMidi::LINUX_ALSA, "ALSA");
    if (m->openOn(RtMidi::UNIX_JACK, "JACK"))
        return true;
    if (api == MidiInputApi::Automatic) {
        m->problem = MidiInputProblem::NoMidiSystem;
        m->status = translate("MidiInput", "Nessun ingresso MIDI: né un sequencer ALSA né un server JACK.");
    }
    return false;
}

MidiInputProblem MidiInput::problem() const
{
    return m->problem;
}

bool MidiInput::isOpen() const
{
    return m->input != nullptr;
}

Text MidiInput::status() const
{
    return m->status;
}

std::vector<MidiSource> MidiInput::sources()
{
    std::vector<MidiSource> out;
    if (!m->graph)
        return out;
    const std::vector<std::string> connected = m->graph->connectedSenders();
    for (const MidiPort& port : m->graph->senders())
        if (!m->tracker.isOwn(port.name))
            out.push_back({ port.name, std::ranges::find(connected, port.name) != connected.end() });
    return out;
}

bool MidiInput::setConnected(const std::string& source, bool connected)
{
    if (!m->graph || m->tracker.isOwn(source))
        return false;
    return connected ? m->graph->connect(source) : m->graph->disconnect(source);
}

void MidiInput::setSwitchedOff(std::set<std::string> sources)
{
    const std::lock_guard lock(m->mutex);
    m->switchedOff = std::move(sources);
}

void MidiInput::close()
{
    if (m->input || m->graph)
        m->close();
}

} // namespace zintaro::midi
