#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>

namespace zintaro::app {

// A precise single-shot timer set to a time of the window's monotonic clock,
// as the workspace names it for the playback and the answers.
class DueTimer : public QObject {
    Q_OBJECT
public:
    DueTimer(const QElapsedTimer& clock, QObject* parent = nullptr);

    // Fires at `due` (at once if it has passed); nothing stops it.
    void setDue(std::optional<int64_t> due);
    bool isActive() const { return m_timer.isActive(); }
    int remainingTime() const { return m_timer.remainingTime(); }

signals:
    void due();

private:
    const QElapsedTimer& m_clock;
    QTimer m_timer;
};

} // namespace zintaro::app
