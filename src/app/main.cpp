#include "app/application.h"
#include "app/command_line.h"
#include "app/form1.h"
#include "app/language.h"
#include "app/qt_dialogs.h"
#include "app/remembered_choices.h"
#include "app/single_instance.h"
#include "midi/system_midi.h"
#include "staff/speech.h"
#include "storage/compositions_folder.h"
#include "storage/user_folders.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace {

// Tests of the installed program save a piece with no one at the keyboard:
// ZINTARO_TEST_SAVE_AS=NAME saves the piece as NAME through "Salva" once
// the window is built, then closes the window.
void saveAndCloseWhenAsked(zintaro::app::Form1& form)
{
    const QString name = qEnvironmentVariable("ZINTARO_TEST_SAVE_AS");
    if (name.isEmpty())
        return;
    QTimer::singleShot(0, &form, [&form, name] {
        auto* save = form.findChild<QAction*>(QStringLiteral("mnf_Save"));
        auto* nameBox = form.findChild<QLineEdit*>(QStringLiteral("Txf"));
        if (save && nameBox) {
            save->trigger();
            nameBox->setText(name);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(nameBox, &enter);
        }
        form.close();
    });
}

// What the command line asks for without a window: the exit status, or
// nothing when the window opens.
std::optional<int> answerWithoutWindow(int argc, char* argv[])
{
    const auto commandLine = zintaro::app::readCommandLine(argc, argv);
    switch (commandLine.request) {
    case zintaro::app::StartRequest::ShowHelp:
        std::fputs(zintaro::app::usageText().c_str(), stdout);
        return 0;
    case zintaro::app::StartRequest::ShowVersion:
        std::puts("zintaro " ZINTARO_VERSION);
        return 0;
    case zintaro::app::StartRequest::Refuse:
        std::fprintf(stderr, "zintaro: %s\nTry 'zintaro --help' for more information.\n", commandLine.refusal.c_str());
        return 2;
    case zintaro::app::StartRequest::OpenWindow:
        break;
    }
    return std::nullopt;
}

// Made now so that "Carica" lists it from the first run; a folder that
// cannot be made is told when a save needs it.
QString makeCompositionsFolder()
{
    const std::filesystem::path folder
        = zintaro::storage::compositionsFolderFor(QFile::encodeName(QApplication::applicationDirPath()).toStdString());
    return QFile::decodeName(folder.c_str());
}

} // namespace

int main(int argc, char* argv[])
{
    if (const auto status = answerWithoutWindow(argc, argv))
        return *status;

    QApplication app(argc, argv);
    zintaro::app::setUpApplication();
    // Before the first box (another copy running): in the language chosen
    // last, Qt's own buttons too.
    zintaro::app::InterfaceLanguage language;
    language.apply(zintaro::app::rememberedLanguage(zintaro::storage::settingsFilePath()));

    zintaro::app::QtDialogs dialogs;

    // Form_Initialize: one copy per user, then the help text (in the window).
    zintaro::app::Form1* window = nullptr;
    zintaro::app::SingleInstance instance(zintaro::app::SingleInstance::defaultName(), [&window] {
        if (window)
            window->CloseDown();
    });
    instance.claim(dialogs);

    zintaro::midi::SystemMidiOptions midiOptions;
    midiOptions.dataFolders = zintaro::storage::dataFolders();
    // The start-up benchmark watches for this line.
    if (qEnvironmentVariableIsSet("ZINTARO_BENCH_STARTUP"))
        midiOptions.onSynthReady = [](zintaro::midi::MidiResult) {
            std::puts("ZINTARO_SYNTH_READY");
            std::fflush(stdout);
        };
    auto midiSystem = zintaro::midi::makeSystemMidi(midiOptions);
    // Speech is only asked for once the window is up, and tells it through the window.
    auto speech = zintaro::staff::makeItalianSpeech([&window](const zintaro::staff::SpeechFailure& failure) {
        if (window)
            window->speechFailed(failure.text);
    });
    const QString filesFolder = makeCompositionsFolder();

    zintaro::app::Form1 form({ dialogs, *midiSystem, *speech, filesFolder, true, {}, &language });
    window = &form;
    dialogs.setParent(&form);
    // The window's frame appears first; its controls and the start-up
    // procedure follow at the event loop's first turn.
    form.showMaximized();
    zintaro::app::sendWindowRequests();
    QTimer::singleShot(0, &form, [&form] { form.Form_Load(zintaro::app::Form1::SoundStart::AfterFirstPaint); });
    saveAndCloseWhenAsked(form);
    return QApplication::exec();
}
