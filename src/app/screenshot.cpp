// Writes pictures of the main window to PNG files without a display, so the
// layout can be looked at anywhere: the start-up "Leggi" layout, and the
// "Componi" layout with a few bars of music.
//
//   zintaro-screenshot OUTPUT_FOLDER

#include "app/form1.h"
#include "core/dialogs.h"
#include "midi/silent_midi.h"
#include "staff/shown_text.h"
#include "staff/speech.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

class PrintedDialogs : public zintaro::Dialogs {
public:
    void message(const zintaro::Text& text, const zintaro::Text&) override
    {
        std::fprintf(stderr, "%s\n", zintaro::staff::shown(text).toLocal8Bit().constData());
    }
    bool question(const zintaro::Text&, const zintaro::Text&) override { return true; }
};

void type(QWidget* target, const char* keys)
{
    for (const char* c = keys; *c; ++c) {
        const int key = Qt::Key_A + (*c - 'A');
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(*c)));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(QChar(*c)));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

bool save(QWidget& window, const QString& path)
{
    const bool ok = window.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(out);

    zintaro::midi::SilentMidiSystem midi;
    zintaro::staff::SilentSpeech speech;
    PrintedDialogs dialogs;
    QTemporaryDir files;
    zintaro::app::Form1 form({ dialogs, midi, speech, files.path() });
    form.Form_Load();
    // The offscreen screen is small; show the window at the size of a real
    // desktop instead of maximised.
    form.showNormal();
    form.resize(1280, 740);
    QApplication::processEvents();
    for (int tick = 0; tick < 2; ++tick)
        form.Tim_Timer();
    QApplication::processEvents();
    bool ok = save(form, out + QStringLiteral("/zintaro-leggi.png"));

    form.controls().modeButtons.at(0)->click();
    form.showNormal();
    form.resize(form.centralWidget()->minimumSize() + QSize(0, form.menuBar()->height()));
    form.controls().durationButtons.at(2)->click();
    type(form.focusWidget(), "TYUATYUA");
    form.controls().durationButtons.at(3)->click();
    type(form.focusWidget(), "SDFGHJZX");
    form.controls().durationButtons.at(1)->click();
    type(form.focusWidget(), "CV");
    form.controls().restButton->click();
    QApplication::processEvents();
    ok = save(form, out + QStringLiteral("/zintaro-componi.png")) && ok;
    return ok ? 0 : 1;
}
