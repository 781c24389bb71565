#include "app/microphone.h"

#include "listen/listener.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace zintaro::app {

namespace {

// The meter shows the last 60 dB: quieter is room noise.
constexpr double MeterFloorDb = -60.0;
constexpr int MeterIntervalMs = 60;

listen::DetectorSettings settingsFor(const compose::ListeningRequest& request)
{
    listen::DetectorSettings settings;
    settings.lowestNote = request.lowest;
    settings.highestNote = request.highest;
    settings.tuning = request.tuningHz;
    return settings;
}

} // namespace

Microphone::Microphone(const QElapsedTimer& clock, QStringList moduleFolders, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_module(
          std::move(moduleFolders), QString::fromLatin1(listen::ListenModuleFileName), listen::CreateListenerSymbol)
    , m_meter(new QTimer(this))
{
    m_meter->setInterval(MeterIntervalMs);
    connect(m_meter, &QTimer::timeout, this, [this] {
        if (!m_stream)
            return;
        const double db = std::clamp(m_stream->levelDb(), MeterFloorDb, 0.0);
        emit level(static_cast<int>(100.0 * (db - MeterFloorDb) / -MeterFloorDb));
    });
}

// The stream's thread ends with it, before anything it could call on goes;
// a module on its way is waited for (its answer, posted, goes with us).
Microphone::~Microphone()
{
    m_stream.reset();
    if (m_loader.joinable())
        m_loader.join();
}

void Microphone::follow(const std::optional<compose::ListeningRequest>& request)
{
    if (!request) {
        stop();
        return;
    }
    if (request == m_request)
        return;
    const bool wasListening = m_request.has_value();
    m_request = request;
    if (m_createListener == nullptr) {
        loadModule();
        return;
    }
    if (wasListening && m_stream)
        m_stream->configure(settingsFor(*request));
    else
        listen(*request);
}

void Microphone::listen(const compose::ListeningRequest& request)
{
    if (!m_stream) {
        const std::function<void()> changed
            = [this] { QMetaObject::invokeMethod(this, &Microphone::takeNews, Qt::QueuedConnection); };
        m_stream.reset(reinterpret_cast<listen::CreateListenerFunction>(m_createListener)(&changed));
    }
    m_stream->start(settingsFor(request));
    m_meter->start();
}

// Loading maps the pitch detector and the sound server's client, which takes
// longer than a frame: a thread of its own does it, once.
void Microphone::loadModule()
{
    if (m_loader.joinable())
        return;
    m_loader = std::thread([this] {
        std::optional<Text> failure;
        if (QFunctionPointer entry = m_module.entry())
            m_createListener = reinterpret_cast<void*>(entry);
        else
            failure = translate("Microphone", "Il microfono non è disponibile: %1").arg(*m_module.failure());
        QMetaObject::invokeMethod(
            this, [this, failure] { moduleLoaded(failure); }, Qt::QueuedConnection);
    });
}

void Microphone::moduleLoaded(const std::optional<Text>& failure)
{
    m_loader.join();
    if (failure) {
        m_request.reset();
        emit failed(*failure);
        return;
    }
    if (m_request)
        listen(*m_request);
}

void Microphone::stop()
{
    if (!m_request)
        return;
    m_request.reset();
    m_meter->stop();
    if (m_stream)
        m_stream->stop();
    emit level(-1);
}

// On the window's thread, whenever the stream heard notes or changed state.
void Microphone::takeNews()
{
    if (!m_stream || !m_request)
        return;
    const auto now = std::chrono::steady_clock::now();
    const qint64 nowMs = m_clock.elapsed();
    for (const listen::CapturedNote& note : m_stream->takeNotes()) {
        const auto ago = std::chrono::duration_cast<std::chrono::milliseconds>(now - note.onset).count();
        emit heard(note.note.midiNote, nowMs - ago);
    }
    if (const auto failure = m_stream->failure(); failure && m_stream->state() == listen::CaptureState::Failed) {
        stop();
        emit failed(listen::captureFailureText(*failure));
    }
}

} // namespace zintaro::app
