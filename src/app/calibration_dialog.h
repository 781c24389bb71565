#pragma once

#include "compose/delay_calibration.h"
#include "compose/event_clock.h"
#include "compose/timed_reading.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <optional>
#include <vector>

class QDialogButtonBox;
class QLabel;

namespace zintaro::app {

// "Calibra ritardo…": the clicks start as it opens; any key taps on each.
// Its figure shows when the clicks end, and OK keeps it; "Riprova" clicks
// again, Escape or "Annulla" leaves the correction as it was.
class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    CalibrationDialog(int tempo, const QElapsedTimer& clock, compose::ClickTrack& clicks, QWidget* parent = nullptr);
    ~CalibrationDialog() override;

    // The delay found by the last run; nothing while none was found.
    std::optional<int> delayMs() const { return m_delay; }
    bool running() const { return m_end.isActive(); }
    // The clicks of the run going on, or of the last one, on the window's clock.
    const std::vector<compose::Click>& clicks() const { return m_run->clicks(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void start();
    void finish();

    int m_tempo;
    const QElapsedTimer& m_clock;
    compose::ClickTrack& m_clicks;
    std::optional<compose::DelayCalibration> m_run;
    std::optional<int> m_delay;
    compose::EventClock m_keyClock;
    QTimer m_end;
    QLabel* m_words = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace zintaro::app
