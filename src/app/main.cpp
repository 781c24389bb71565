#include "app/application.h"
#include "app/form1.h"
#include "app/language.h"
#include "app/qt_dialogs.h"
#include "app/single_instance.h"
#include "core/held_dialogs.h"
#include "midi/system_midi.h"
#include "staff/speech.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    zintaro::app::setUpApplication();
    // Before the first box: Qt's own buttons speak the interface's language too.
    zintaro::app::InterfaceLanguage language;
    language.apply(zintaro::app::Language::Italian);

    zintaro::app::QtDialogs boxes;
    zintaro::HeldDialogs dialogs(boxes);

    // Form_Initialize: one copy per user, then the help text (in the window).
    zintaro::app::Form1* window = nullptr;
    zintaro::app::SingleInstance instance(zintaro::app::SingleInstance::defaultName(), [&window] {
        if (window)
            window->CloseDown();
    });
    instance.claim(dialogs);

    zintaro::midi::SystemMidiOptions midiOptions;
    // The start-up benchmark watches for this line.
    if (qEnvironmentVariableIsSet("ZINTARO_BENCH_STARTUP"))
        midiOptions.onSynthReady = [](zintaro::midi::MidiResult) {
            std::puts("ZINTARO_SYNTH_READY");
            std::fflush(stdout);
        };
    auto midiSystem = zintaro::midi::makeSystemMidi(midiOptions);
    auto speech = zintaro::staff::makeItalianSpeech(dialogs);
    const QString filesFolder = QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("files"));

    zintaro::app::Form1 form({ dialogs, *midiSystem, *speech, filesFolder, true, &language });
    window = &form;
    boxes.setParent(&form);
    // The window's frame appears first; its controls and the start-up
    // procedure follow at the event loop's first turn.
    form.showMaximized();
    zintaro::app::sendWindowRequests();
    QTimer::singleShot(0, &form, [&form] { form.Form_Load(zintaro::app::Form1::SoundStart::AfterFirstPaint); });
    return QApplication::exec();
}
