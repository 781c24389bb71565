#include "app/calibration_dialog.h"
#include "app/click_track.h"
#include "app/form1.h"
#include "app/midi_keyboard.h"
#include "app/range_dialog.h"
#include "app/remembered_choices.h"
#include "app/window_menu.h"
#include "compose/workspace.h"
#include "input/piano_widget.h"
#include "storage/user_folders.h"

#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>

namespace zintaro::app {

// The choices as the last run left them: the workspace's own, the language
// and the MIDI keyboards switched off. "Rispondi" takes effect when start-up
// enters "Leggi".
void Form1::loadChoices()
{
    m_choicesFile = storage::settingsFilePath();
    const LoadedChoices loaded = loadRememberedChoices(m_choicesFile);
    if (loaded.notice)
        showStatus(StatusSource::Notice, *loaded.notice);
    const RememberedChoices& kept = loaded.choices;
    m_student = kept.student;
    m_workspace->restoreChoices({ kept.practice, kept.naming, kept.answering, kept.listening }, now(), seed());
    showListeningChoices(kept.listening);
    showPracticeChoices(m_workspace->choices().practice);
    m_controls.namingActions[kept.naming == NoteNaming::Letters ? 1 : 0]->setChecked(true);
    m_midiKeyboard->setSwitchedOff(kept.keyboardsOff);
    if (kept.language != m_language->current())
        setLanguage(kept.language);
}

// What the workspace holds, the language and the keyboards switched off, as
// they are now.
void Form1::rememberChoices()
{
    const compose::KeptChoices kept = m_workspace->choices();
    const RememberedChoices choices { kept.practice, m_language->current(), kept.naming, kept.answering,
        m_midiKeyboard->switchedOff(), kept.listening, m_student };
    if (const auto failure = saveRememberedChoices(m_choicesFile, choices))
        showStatus(StatusSource::Notice, *failure);
}

// The menu shows what the workspace holds: choices it refused leave the
// entries as they were.
void Form1::choosePractice(const compose::PracticeChoices& practice)
{
    showReport(m_workspace->choosePractice(practice, now(), seed()));
    showPracticeChoices(m_workspace->choices().practice);
}

// A phrase in place of the piece, after the question "Nuovo" asks when the
// piece has not been saved.
void Form1::mnf_Phrase_Click()
{
    if (m_workspace->pieceUnsaved()
        && !m_services.dialogs.question(
            translate("Window", "Sicuro?"), translate("Window", "Frase nella composizione")))
        return;
    showReport(m_workspace->writePhrase(seed()));
}

void Form1::showPracticeChoices(const compose::PracticeChoices& practice)
{
    const WindowControls& c = m_controls;
    c.reviewAction->setChecked(practice.review);
    c.accidentalsAction->setChecked(practice.accidentals);
    c.clefActions.at(static_cast<std::size_t>(practice.clef))->setChecked(true);
    const auto* key = std::find(KeyMenuFifths.begin(), KeyMenuFifths.end(), practice.key.fifths);
    const auto keyEntry
        = practice.randomKey ? KeyMenuFifths.size() : static_cast<std::size_t>(key - KeyMenuFifths.begin());
    c.keyActions.at(keyEntry)->setChecked(true);
    c.levelActions.at(static_cast<std::size_t>(practice.level - compose::FirstLevel))->setChecked(true);
    c.intervalsAction->setChecked(practice.drill == compose::Drill::Intervals);
    c.chordsAction->setChecked(practice.drill == compose::Drill::Chords);
    c.inTimeAction->setChecked(practice.inTime);
    c.fromPieceAction->setChecked(practice.fromPiece);
    c.metronomeAction->setChecked(practice.metronome);
}

// "A tempo", "Dalla composizione" and "Metronomo".
void Form1::mnf_InTime_Click()
{
    compose::PracticeChoices practice = m_workspace->choices().practice;
    practice.inTime = m_controls.inTimeAction->isChecked();
    practice.fromPiece = m_controls.fromPieceAction->isChecked();
    practice.metronome = m_controls.metronomeAction->isChecked();
    choosePractice(practice);
}

// "Calibra ritardo…", open so that the window's timers go on meanwhile; the
// figure found becomes the delay correction, shown and remembered.
void Form1::mnf_Calibrate_Click()
{
    auto* dialog = new CalibrationDialog(m_controls.tempoBar->value(), m_clock, *m_clickTrack, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const auto delay = dialog->delayMs();
        if (!delay)
            return;
        compose::PracticeChoices practice = m_workspace->choices().practice;
        practice.delayCorrectionMs = *delay;
        choosePractice(practice);
        showStatus(StatusSource::Notice, translate("Tempo", "Ritardo: %1 ms").arg(*delay));
        m_controls.piano->focusFirstKey();
    });
    dialog->open();
}

void Form1::mnf_Key_Click(std::size_t entry)
{
    compose::PracticeChoices practice = m_workspace->choices().practice;
    practice.randomKey = entry >= KeyMenuFifths.size();
    if (!practice.randomKey)
        practice.key = { KeyMenuFifths.at(entry), KeyMode::Major };
    choosePractice(practice);
    m_controls.piano->focusFirstKey();
}

void Form1::mnf_Level_Click(int level)
{
    compose::PracticeChoices practice = m_workspace->choices().practice;
    practice.level = level;
    choosePractice(practice);
}

// "Intervalli" and "Accordi": checking one unchecks the other; neither reads single notes.
void Form1::mnf_Drill_Click(compose::Drill drill, bool checked)
{
    compose::PracticeChoices practice = m_workspace->choices().practice;
    practice.drill = checked ? drill : compose::Drill::Notes;
    choosePractice(practice);
    m_controls.piano->focusFirstKey();
}

void Form1::mnf_Review_Click()
{
    compose::PracticeChoices practice = m_workspace->choices().practice;
    practice.review = m_controls.reviewAction->isChecked();
    choosePractice(practice);
}

void Form1::mnf_Accidentals_Click()
{
    compose::PracticeChoices practice = m_workspace->choices().practice;
    practice.accidentals = m_controls.accidentalsAction->isChecked();
    choosePractice(practice);
}

void Form1::mnf_Clef_Click(Clef clef)
{
    compose::PracticeChoices practice = m_workspace->choices().practice;
    practice.clef = clef;
    choosePractice(practice);
    m_controls.piano->focusFirstKey();
}

void Form1::mnf_Range_Click()
{
    // Open, not exec: the window's timers and the MIDI keyboards go on meanwhile.
    auto* dialog = new RangeDialog(m_workspace->choices().practice, m_workspace->state().Naming, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        choosePractice(dialog->choices());
        m_controls.piano->focusFirstKey();
    });
    dialog->open();
}

// "Do Re Mi" or "C D E": a name that shows is written again in it.
void Form1::setNaming(NoteNaming naming)
{
    if (!m_built)
        return;
    m_controls.namingActions[naming == NoteNaming::Letters ? 1 : 0]->setChecked(true);
    showReport(m_workspace->setNaming(naming, !m_controls.nameLabel->text().isEmpty()));
}

} // namespace zintaro::app
