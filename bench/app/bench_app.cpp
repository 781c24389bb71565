// The window's own figures, with the real window on the offscreen platform:
//  - start-up: from creating the services and the window to its first paint,
//    with the real built-in synthesizer (no audio device) and real speech;
//  - key-down to note-on: from a key event handed to the piano to the note-on
//    reaching the MIDI layer, with the staff drawing included, over 10,000
//    presses (median and 99th percentile).

#include "app/form1.h"
#include "app/trainer_timer.h"
#include "compose/workspace.h"
#include "core/dialogs.h"
#include "core/midi_message.h"
#include "input/piano_widget.h"
#include "midi/silent_midi.h"
#include "midi/system_midi.h"
#include "staff/speech.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class PrintedDialogs : public zintaro::Dialogs {
public:
    void message(const zintaro::Text& text, const zintaro::Text&) override
    {
        std::fprintf(stderr, "[box] %s\n", text.render().c_str());
    }
    bool question(const zintaro::Text&, const zintaro::Text&) override { return true; }
};

// Notes when each note-on arrives.
class TimedMidi : public zintaro::midi::SilentMidiSystem {
public:
    zintaro::midi::MidiResult shortMessage(uint32_t, uint32_t packed) override
    {
        if (zintaro::midi::unpack(packed).startsNote())
            noteOnAt = Clock::now();
        return 0;
    }
    Clock::time_point noteOnAt;
};

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && !painted) {
            painted = true;
            at = Clock::now();
        }
        return false;
    }
    bool painted = false;
    Clock::time_point at;
};

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void startUp()
{
    PrintedDialogs dialogs;
    QTemporaryDir files;
    const auto t0 = Clock::now();
    zintaro::midi::SystemMidiOptions options;
    options.audio = false;
    auto midi = zintaro::midi::makeSystemMidi(options);
    auto speech = zintaro::staff::makeItalianSpeech(
        [&dialogs](const zintaro::staff::SpeechFailure& failure) { dialogs.message(failure.text, {}); });
    const auto services = Clock::now();
    zintaro::app::Form1 form({ dialogs, *midi, *speech, files.path() });
    FirstPaint paint;
    form.installEventFilter(&paint);
    form.Form_Load();
    const auto loaded = Clock::now();
    form.show();
    while (!paint.painted)
        QApplication::processEvents();
    std::printf("start-up: services %.1f ms, window and Form_Load %.1f ms, first paint at %.1f ms\n", ms(services - t0),
        ms(loaded - services), ms(paint.at - t0));
}

void keyDownToNoteOn()
{
    PrintedDialogs dialogs;
    TimedMidi midi;
    zintaro::staff::SilentSpeech speech;
    QTemporaryDir files;
    zintaro::app::Form1 form({ dialogs, midi, speech, files.path() });
    form.Form_Load();
    form.show();
    form.controls().modeButtons.at(0)->click();
    form.controls().durationButtons.at(6)->click(); // sixty-fourths: the most drawing per note
    QApplication::processEvents();

    const int presses = 10000;
    const int keys[] = { Qt::Key_T, Qt::Key_Y, Qt::Key_U, Qt::Key_A, Qt::Key_G, Qt::Key_M, Qt::Key_Q, Qt::Key_B };
    std::vector<double> micros;
    micros.reserve(presses);
    QWidget* key0 = form.controls().piano->key(0);
    for (int i = 0; i < presses; ++i) {
        if (form.workspace().state().NoteCount >= 900)
            form.controls().modeButtons.at(2)->click(); // "Nuovo", answered Yes
        const int key = keys[i % 8];
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        const auto t0 = Clock::now();
        QApplication::sendEvent(key0, &down);
        micros.push_back(std::chrono::duration<double, std::micro>(midi.noteOnAt - t0).count());
        QApplication::sendEvent(key0, &up);
        if (i % 64 == 0)
            QApplication::processEvents();
    }
    std::sort(micros.begin(), micros.end());
    std::printf("key-down to note-on over %d presses: median %.1f us, 99th percentile %.1f us, max %.1f us\n", presses,
        micros[presses / 2], micros[presses * 99 / 100], micros.back());
}

// The reading trainer is driven by its timer alone: between ticks the
// program should use no processor time at all.
void trainerCpu(int seconds)
{
    PrintedDialogs dialogs;
    TimedMidi midi;
    zintaro::staff::SilentSpeech speech;
    QTemporaryDir files;
    zintaro::app::Form1 form({ dialogs, midi, speech, files.path() });
    form.Form_Load(); // ends in "Leggi" with the timer running
    form.show();
    QApplication::processEvents();
    const auto cpu = [] {
        rusage u {};
        getrusage(RUSAGE_SELF, &u);
        return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
    };
    const double before = cpu();
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QApplication::exec();
    std::printf("trainer: %.1f ms of processor time over %d s of \"Leggi\" (%d ticks)\n", cpu() - before, seconds,
        seconds * 1000 / form.trainerTimer().interval());
}

} // namespace

// bench_app [TRAINER_SECONDS]: the trainer's processor time is measured when
// a number of seconds is given (60 for the figure in the notes).
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows' answers and unsaved pieces stay out of the home folder.
    const QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_STATE_HOME", (home.path() + QStringLiteral("/state")).toLocal8Bit());
    QApplication app(argc, argv);
    startUp();
    keyDownToNoteOn();
    if (argc > 1)
        trainerCpu(std::atoi(argv[1]));
    return 0;
}
