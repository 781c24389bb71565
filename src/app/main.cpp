#include "app/form1.h"
#include "app/qt_dialogs.h"
#include "app/single_instance.h"
#include "midi/system_midi.h"
#include "staff/speech.h"

#include <QApplication>
#include <QDir>
#include <QFont>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zintaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zintaro"));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));

    zintaro::app::QtDialogs dialogs;

    // Form_Initialize: one copy per user, then the help text (in the window).
    zintaro::app::Form1* window = nullptr;
    zintaro::app::SingleInstance instance(zintaro::app::SingleInstance::defaultName(), [&window] {
        if (window)
            window->CloseDown();
    });
    instance.claim(dialogs);

    auto midiSystem = zintaro::midi::makeSystemMidi();
    auto speech = zintaro::staff::makeItalianSpeech(dialogs);
    const QString filesFolder = QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("files"));

    zintaro::app::Form1 form({ dialogs, *midiSystem, *speech, filesFolder });
    window = &form;
    dialogs.setParent(&form);
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
