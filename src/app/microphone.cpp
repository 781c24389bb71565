#include "app/microphone.h"

#include "listen/capture_stream.h"

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

Microphone::Microphone(const QElapsedTimer& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
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

// The stream's thread ends with it, before anything it could call on goes.
Microphone::~Microphone() = default;

void Microphone::follow(const std::optional<compose::ListeningRequest>& request)
{
    if (!request) {
        stop();
        return;
    }
    if (request == m_request)
        return;
    if (!m_stream) {
        m_stream = std::make_unique<listen::CaptureStream>(
            [this] { QMetaObject::invokeMethod(this, &Microphone::takeNews, Qt::QueuedConnection); });
    }
    if (m_request)
        m_stream->configure(settingsFor(*request));
    else
        m_stream->start(settingsFor(*request));
    m_request = request;
    m_meter->start();
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
