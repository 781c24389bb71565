#include "app/calibration_dialog.h"

#include "staff/shown_text.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zintaro::app {

namespace {

// The first click comes this long after the clicks are asked for, so that
// the sound stream has it ahead of its time.
constexpr int64_t LeadMs = 300;

} // namespace

CalibrationDialog::CalibrationDialog(
    int tempo, const QElapsedTimer& clock, compose::ClickTrack& clicks, QWidget* parent)
    : QDialog(parent)
    , m_tempo(tempo)
    , m_clock(clock)
    , m_clicks(clicks)
{
    setWindowTitle(QCoreApplication::translate("Tempo", "Calibra ritardo"));
    m_words = new QLabel(this);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Retry | QDialogButtonBox::Cancel, this);
    // Keys are taps while the clicks go on: none of them may press a button.
    for (QAbstractButton* button : m_buttons->buttons())
        button->setFocusPolicy(Qt::NoFocus);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_buttons->button(QDialogButtonBox::Retry), &QPushButton::clicked, this, &CalibrationDialog::start);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_words);
    layout->addWidget(m_buttons);
    m_end.setSingleShot(true);
    m_end.setTimerType(Qt::PreciseTimer);
    connect(&m_end, &QTimer::timeout, this, &CalibrationDialog::finish);
    start();
}

CalibrationDialog::~CalibrationDialog()
{
    if (m_end.isActive())
        m_clicks.cancel();
}

void CalibrationDialog::start()
{
    m_clicks.cancel();
    m_run.emplace(m_tempo, m_clock.elapsed() + LeadMs);
    for (const compose::Click& click : m_run->clicks())
        m_clicks.schedule(click.atMs, click.accent);
    m_words->setText(QCoreApplication::translate("Tempo", "Tocca un tasto a ogni clic."));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    m_buttons->button(QDialogButtonBox::Retry)->setEnabled(false);
    m_end.start(static_cast<int>(m_run->endsAt() - m_clock.elapsed()));
}

void CalibrationDialog::finish()
{
    m_delay = m_run->delayMs();
    m_words->setText(staff::shown(m_run->words()));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_delay.has_value());
    m_buttons->button(QDialogButtonBox::Retry)->setEnabled(true);
}

// While the clicks go on every key but Escape is a tap, placed by its own
// time; afterwards Enter keeps the figure found and R clicks again.
void CalibrationDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (m_end.isActive()) {
        if (!event->isAutoRepeat())
            m_run->tap(
                m_keyClock.onset(static_cast<double>(event->timestamp()), static_cast<double>(m_clock.elapsed())));
        return;
    }
    if (event->key() == Qt::Key_R) {
        start();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_delay)
        accept();
}

} // namespace zintaro::app
