#include "app/window_menu.h"

#include "app/window_layout.h"
#include "compose/played_instrument.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <array>
#include <utility>

namespace zintaro::app {

namespace {

// The menu's entries, in their order, by object name.
constexpr std::array<std::pair<const char*, const char*>, 3> ClefActions = { {
    { "mnf_ClefTreble", QT_TRANSLATE_NOOP("Window", "Chiave di Sol") },
    { "mnf_ClefBass", QT_TRANSLATE_NOOP("Window", "Chiave di Fa") },
    { "mnf_ClefGrand", QT_TRANSLATE_NOOP("Window", "Doppio pentagramma") },
} };
constexpr std::array<std::pair<const char*, const char*>, 3> ExportActions = { {
    { "mnf_ExportMidi", QT_TRANSLATE_NOOP("Window", "Esporta MIDI") },
    { "mnf_ExportMusicXml", QT_TRANSLATE_NOOP("Window", "Esporta MusicXML") },
    { "mnf_ExportPdf", QT_TRANSLATE_NOOP("Window", "Esporta PDF") },
} };
// Each major key with its relative minor, in the order of KeyMenuFifths.
constexpr std::array<const char*, 15> KeyCaptions = {
    QT_TRANSLATE_NOOP("Window", "Do maggiore / La minore"),
    QT_TRANSLATE_NOOP("Window", "Sol maggiore / Mi minore"),
    QT_TRANSLATE_NOOP("Window", "Re maggiore / Si minore"),
    QT_TRANSLATE_NOOP("Window", "La maggiore / Fa diesis minore"),
    QT_TRANSLATE_NOOP("Window", "Mi maggiore / Do diesis minore"),
    QT_TRANSLATE_NOOP("Window", "Si maggiore / Sol diesis minore"),
    QT_TRANSLATE_NOOP("Window", "Fa diesis maggiore / Re diesis minore"),
    QT_TRANSLATE_NOOP("Window", "Do diesis maggiore / La diesis minore"),
    QT_TRANSLATE_NOOP("Window", "Fa maggiore / Re minore"),
    QT_TRANSLATE_NOOP("Window", "Si bemolle maggiore / Sol minore"),
    QT_TRANSLATE_NOOP("Window", "Mi bemolle maggiore / Do minore"),
    QT_TRANSLATE_NOOP("Window", "La bemolle maggiore / Fa minore"),
    QT_TRANSLATE_NOOP("Window", "Re bemolle maggiore / Si bemolle minore"),
    QT_TRANSLATE_NOOP("Window", "Sol bemolle maggiore / Mi bemolle minore"),
    QT_TRANSLATE_NOOP("Window", "Do bemolle maggiore / La bemolle minore"),
};
constexpr std::array<const char*, 2> LanguageCaptions = { "Italiano", "English" };
constexpr std::array<const char*, 2> NamingCaptions = { "Do Re Mi", "C D E" };

QString caption(const char* text)
{
    return QCoreApplication::translate("Window", text);
}

// "Italiano" / "English", then "Do Re Mi" / "C D E": two choices of one
// each, apart. A language's name is its own in every language.
void addLanguageMenu(WindowControls& c)
{
    c.languageMenu = c.menu->addMenu(QString());
    c.languageMenu->setObjectName(QStringLiteral("mnf_Language"));
    auto* languages = new QActionGroup(c.languageMenu);
    auto* namings = new QActionGroup(c.languageMenu);
    for (std::size_t i = 0; i < 2; ++i) {
        c.languageActions[i] = c.languageMenu->addAction(QString::fromUtf8(LanguageCaptions[i]));
        c.languageActions[i]->setCheckable(true);
        languages->addAction(c.languageActions[i]);
    }
    c.languageMenu->addSeparator();
    for (std::size_t i = 0; i < 2; ++i) {
        c.namingActions[i] = c.languageMenu->addAction(QString::fromUtf8(NamingCaptions[i]));
        c.namingActions[i]->setCheckable(true);
        namings->addAction(c.namingActions[i]);
    }
    c.languageActions[0]->setObjectName(QStringLiteral("mnf_Italian"));
    c.languageActions[1]->setObjectName(QStringLiteral("mnf_English"));
    c.namingActions[0]->setObjectName(QStringLiteral("mnf_Solfege"));
    c.namingActions[1]->setObjectName(QStringLiteral("mnf_Letters"));
    c.languageActions[0]->setChecked(true);
    c.namingActions[0]->setChecked(true);
}

// "Ingresso": the MIDI keyboards fill it down to the separator (they come
// and go), then "Microfono" and "Strumento", the played instrument one at a
// time, and "Diapason…".
void addInputEntries(WindowControls& c)
{
    static_assert(std::tuple_size_v<decltype(c.playedInstrumentActions)> == compose::PlayedInstruments.size());
    c.midiKeyboardMenu->addSeparator();
    c.microphoneAction = c.midiKeyboardMenu->addAction(QString());
    c.microphoneAction->setObjectName(QStringLiteral("mnf_Microphone"));
    c.microphoneAction->setCheckable(true);
    c.playedInstrumentMenu = c.midiKeyboardMenu->addMenu(QString());
    c.playedInstrumentMenu->setObjectName(QStringLiteral("mnf_PlayedInstrument"));
    auto* instruments = new QActionGroup(c.playedInstrumentMenu);
    for (std::size_t i = 0; i < c.playedInstrumentActions.size(); ++i) {
        c.playedInstrumentActions[i] = c.playedInstrumentMenu->addAction(QString());
        c.playedInstrumentActions[i]->setObjectName(
            QStringLiteral("mnf_Played_") + QLatin1String(compose::PlayedInstruments.at(i).word));
        c.playedInstrumentActions[i]->setCheckable(true);
        instruments->addAction(c.playedInstrumentActions[i]);
    }
    c.playedInstrumentActions[0]->setChecked(true);
    c.playedInstrumentMenu->addSeparator();
    c.tuningAction = c.playedInstrumentMenu->addAction(QString());
    c.tuningAction->setObjectName(QStringLiteral("mnf_Tuning"));
}

QAction* addCheckable(QMenu* menu, const char* name)
{
    QAction* action = menu->addAction(QString());
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    return action;
}

// What is read after the staves: the key, the level of the phrases, the
// drill, and the phrase written into the composition.
void addReadingEntries(WindowControls& c)
{
    c.practiceMenu->addSeparator();
    c.keyMenu = c.practiceMenu->addMenu(QString());
    c.keyMenu->setObjectName(QStringLiteral("mnf_Key"));
    auto* keys = new QActionGroup(c.keyMenu);
    for (std::size_t i = 0; i < c.keyActions.size(); ++i) {
        if (i == KeyMenuFifths.size())
            c.keyMenu->addSeparator();
        c.keyActions[i] = addCheckable(c.keyMenu, "mnf_KeyChoice");
        keys->addAction(c.keyActions[i]);
    }
    c.keyActions[0]->setChecked(true);
    c.levelMenu = c.practiceMenu->addMenu(QString());
    c.levelMenu->setObjectName(QStringLiteral("mnf_Level"));
    auto* levels = new QActionGroup(c.levelMenu);
    for (std::size_t i = 0; i < c.levelActions.size(); ++i) {
        c.levelActions[i] = addCheckable(c.levelMenu, "mnf_LevelChoice");
        c.levelActions[i]->setText(QString::number(i + 1));
        levels->addAction(c.levelActions[i]);
    }
    c.levelActions[0]->setChecked(true);
    // At most one of the two: neither reads single notes.
    c.intervalsAction = addCheckable(c.practiceMenu, "mnf_Intervals");
    c.chordsAction = addCheckable(c.practiceMenu, "mnf_Chords");
    c.phraseAction = c.practiceMenu->addAction(QString());
    c.phraseAction->setObjectName(QStringLiteral("mnf_Phrase"));
    c.practiceMenu->addSeparator();
    c.inTimeAction = addCheckable(c.practiceMenu, "mnf_InTime");
    c.fromPieceAction = addCheckable(c.practiceMenu, "mnf_FromPiece");
    c.metronomeAction = addCheckable(c.practiceMenu, "mnf_Metronome");
    c.metronomeAction->setChecked(true);
    c.calibrateAction = c.practiceMenu->addAction(QString());
    c.calibrateAction->setObjectName(QStringLiteral("mnf_Calibrate"));
}

// The menu and its entries; retranslateWindowControls() gives their words.
void addEntries(QMainWindow& window, WindowControls& c)
{
    c.menu = window.menuBar()->addMenu(QString());
    c.menu->setObjectName(QStringLiteral("mnf"));
    c.loadAction = c.menu->addAction(QString());
    c.loadAction->setObjectName(QStringLiteral("mnf_Load"));
    c.loadAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    c.saveAction = c.menu->addAction(QString());
    c.saveAction->setObjectName(QStringLiteral("mnf_Save"));
    c.saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    for (std::size_t i = 0; i < ExportActions.size(); ++i) {
        c.exportActions[i] = c.menu->addAction(QString());
        c.exportActions[i]->setObjectName(QLatin1String(ExportActions[i].first));
    }
    c.notationAction = c.menu->addAction(QString());
    c.notationAction->setObjectName(QStringLiteral("mnf_Notation"));
    c.importAction = c.menu->addAction(QString());
    c.importAction->setObjectName(QStringLiteral("mnf_Import"));
    c.midiKeyboardMenu = c.menu->addMenu(QString());
    c.midiKeyboardMenu->setObjectName(QStringLiteral("mnf_MidiKeyboard"));
    addInputEntries(c);
    c.practiceMenu = c.menu->addMenu(QString());
    c.practiceMenu->setObjectName(QStringLiteral("mnf_Practice"));
    c.reviewAction = c.practiceMenu->addAction(QString());
    c.reviewAction->setObjectName(QStringLiteral("mnf_Review"));
    c.reviewAction->setCheckable(true);
    c.accidentalsAction = c.practiceMenu->addAction(QString());
    c.accidentalsAction->setObjectName(QStringLiteral("mnf_Accidentals"));
    c.accidentalsAction->setCheckable(true);
    c.rangeAction = c.practiceMenu->addAction(QString());
    c.rangeAction->setObjectName(QStringLiteral("mnf_Range"));
    c.practiceMenu->addSeparator();
    // The staves of the trainer: one of the three at a time.
    auto* clefs = new QActionGroup(c.practiceMenu);
    for (std::size_t i = 0; i < ClefActions.size(); ++i) {
        c.clefActions[i] = c.practiceMenu->addAction(QString());
        c.clefActions[i]->setObjectName(QLatin1String(ClefActions[i].first));
        c.clefActions[i]->setCheckable(true);
        clefs->addAction(c.clefActions[i]);
    }
    c.clefActions[0]->setChecked(true);
    addReadingEntries(c);
    c.progressAction = c.menu->addAction(QString());
    c.progressAction->setObjectName(QStringLiteral("mnf_Progress"));
    addLanguageMenu(c);
    c.undoAction = c.menu->addAction(QString());
    c.undoAction->setObjectName(QStringLiteral("mnf_Undo"));
    c.undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    c.redoAction = c.menu->addAction(QString());
    c.redoAction->setObjectName(QStringLiteral("mnf_Redo"));
    c.redoAction->setShortcuts({ QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) });
    c.undoAction->setEnabled(false);
    c.redoAction->setEnabled(false);
}

// The words of an entry without the mark of its letter.
QString withoutLetter(const QString& text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

// The first free letter that starts a word, else the first free letter at all.
qsizetype freeLetter(const QString& plain, const QSet<QChar>& taken)
{
    const auto free = [&](qsizetype i) { return plain[i].isLetterOrNumber() && !taken.contains(plain[i].toLower()); };
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (free(i) && (i == 0 || !plain[i - 1].isLetterOrNumber()))
            return i;
    }
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (free(i))
            return i;
    }
    return -1;
}

} // namespace

void underlineLetters(QMenu& menu)
{
    QSet<QChar> taken;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator())
            continue;
        const QString plain = withoutLetter(action->text());
        const qsizetype letter = freeLetter(plain, taken);
        QString marked = plain;
        marked.replace(u'&', QStringLiteral("&&"));
        if (letter >= 0) {
            taken.insert(plain[letter].toLower());
            // Every "&" before the letter became two.
            const auto before = plain.left(letter).count(u'&');
            marked.insert(letter + before, u'&');
        }
        action->setText(marked);
    }
}

void addWindowMenu(QMainWindow& window, WindowControls& c)
{
    addEntries(window, c);
    // F10 opens "Menù" as Alt and its letter do; the piano never hears either.
    auto* open = new QAction(&window);
    open->setObjectName(QStringLiteral("mnf_Open"));
    open->setShortcut(QKeySequence(Qt::Key_F10));
    QObject::connect(open, &QAction::triggered, &window,
        [&window, menu = c.menu] { window.menuBar()->setActiveAction(menu->menuAction()); });
    window.addAction(open);
}

void retranslateWindowMenu(WindowControls& c)
{
    c.menu->setTitle(caption(QT_TRANSLATE_NOOP("Window", "Menù")));
    c.loadAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Carica")));
    c.saveAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Salva")));
    for (std::size_t i = 0; i < ExportActions.size(); ++i)
        c.exportActions[i]->setText(caption(ExportActions[i].second));
    c.notationAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Armatura e metro…")));
    c.importAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Importa…")));
    c.midiKeyboardMenu->setTitle(caption(QT_TRANSLATE_NOOP("Window", "Ingresso")));
    c.microphoneAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Microfono")));
    c.playedInstrumentMenu->setTitle(caption(QT_TRANSLATE_NOOP("Window", "Strumento")));
    for (std::size_t i = 0; i < c.playedInstrumentActions.size(); ++i)
        c.playedInstrumentActions[i]->setText(
            QCoreApplication::translate("Instruments", compose::PlayedInstruments.at(i).name));
    c.tuningAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Diapason…")));
    c.practiceMenu->setTitle(caption(QT_TRANSLATE_NOOP("Window", "Pratica")));
    c.reviewAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Ripasso")));
    c.accidentalsAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Alterazioni")));
    c.rangeAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Estensione…")));
    for (std::size_t i = 0; i < ClefActions.size(); ++i)
        c.clefActions[i]->setText(caption(ClefActions[i].second));
    c.keyMenu->setTitle(caption(QT_TRANSLATE_NOOP("Window", "Armatura")));
    for (std::size_t i = 0; i < KeyCaptions.size(); ++i)
        c.keyActions[i]->setText(caption(KeyCaptions[i]));
    c.keyActions.back()->setText(caption(QT_TRANSLATE_NOOP("Window", "Tutte, a caso")));
    c.levelMenu->setTitle(caption(QT_TRANSLATE_NOOP("Window", "Livello")));
    c.intervalsAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Intervalli")));
    c.chordsAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Accordi")));
    c.phraseAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Frase nella composizione")));
    c.inTimeAction->setText(caption(QT_TRANSLATE_NOOP("Window", "A tempo")));
    c.fromPieceAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Dalla composizione")));
    c.metronomeAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Metronomo")));
    c.calibrateAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Calibra ritardo…")));
    c.progressAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Progressi")));
    c.languageMenu->setTitle(caption(QT_TRANSLATE_NOOP("Window", "Lingua")));
    c.undoAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Annulla")));
    c.redoAction->setText(caption(QT_TRANSLATE_NOOP("Window", "Ripeti")));

    c.menu->setTitle(QStringLiteral("&") + c.menu->title());
    for (QMenu* menu :
        { c.menu, c.practiceMenu, c.keyMenu, c.levelMenu, c.languageMenu, c.midiKeyboardMenu, c.playedInstrumentMenu })
        underlineLetters(*menu);
}

} // namespace zintaro::app
