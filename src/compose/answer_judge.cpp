#include "compose/answer_judge.h"

#include <algorithm>

namespace zintaro::compose {

namespace {

bool isMidiNote(int note)
{
    return note >= 0 && note < 128;
}

} // namespace

AnswerResult AnswerJudge::noteShown(int midiNote, int64_t now, AnswerMode mode)
{
    return noteShown(sharpSpelling(midiNote), now, mode);
}

AnswerResult AnswerJudge::noteShown(SpelledNote note, int64_t now, AnswerMode mode)
{
    const int midiNote = midiNoteOf(note);
    m_shownNotes = { note };
    AnswerResult result;
    endCorrection(result);
    if (m_session.complete())
        m_session = {};
    m_phase = Phase::Waiting;
    m_shown = midiNote;
    m_shownAt = now;
    m_answered = false;
    m_mode = mode;
    m_asked = { midiNote };
    m_strokes.clear();
    m_session.noteShown(now);
    return result;
}

AnswerResult AnswerJudge::chordShown(const std::vector<SpelledNote>& notes, int64_t now, AnswerMode mode)
{
    AnswerResult result = noteShown(notes.front(), now, mode);
    m_shownNotes = notes;
    m_asked.clear();
    for (const SpelledNote note : notes)
        m_asked.push_back(midiNoteOf(note));
    return result;
}

AnswerResult AnswerJudge::keyDown(int midiNote, int64_t now, bool isAutoRepeat)
{
    AnswerResult result;
    if (isAutoRepeat)
        return result;
    if (isMidiNote(midiNote))
        m_held[static_cast<size_t>(midiNote)] = true;

    switch (m_phase) {
    case Phase::Waiting:
        if (m_asked.size() > 1) {
            // A new try ends the correction of the last one.
            if (m_strokes.empty())
                endCorrection(result);
            m_strokes.push_back({ midiNote, now, std::nullopt });
            judgeChordSoFar(now, result);
        } else {
            judge(midiNote, now, result);
        }
        break;
    case Phase::Summary:
        m_session = {};
        m_phase = Phase::Idle;
        result.steps.push_back({ AnswerAction::StartNewSession, midiNote });
        result.steps.push_back({ AnswerAction::ShowNextNote, 0 });
        break;
    case Phase::Idle:
    case Phase::Pause:
        break;
    }
    return result;
}

AnswerResult AnswerJudge::keyUp(int midiNote, int64_t now, bool isAutoRepeat)
{
    AnswerResult result;
    if (isAutoRepeat)
        return result;
    if (isMidiNote(midiNote))
        m_held[static_cast<size_t>(midiNote)] = false;
    for (KeyStroke& stroke : m_strokes) {
        if (stroke.midi == midiNote && !stroke.up)
            stroke.up = now;
    }
    if (awaitsChord())
        judgeChordSoFar(now, result);
    if (m_correctionWaitEnds && !anyKeyHeld())
        startCorrection(now, result);
    return result;
}

AnswerResult AnswerJudge::timerDue(int64_t now)
{
    AnswerResult result;
    if (awaitsChord())
        judgeChordSoFar(now, result);
    if (m_correctionWaitEnds && now >= *m_correctionWaitEnds)
        startCorrection(now, result);
    if (m_correctionEnds && now >= *m_correctionEnds)
        endCorrection(result);
    if (m_phase == Phase::Pause && now >= m_pauseEnds) {
        if (m_session.complete()) {
            m_phase = Phase::Summary;
            result.steps.push_back({ AnswerAction::ShowSummary, m_shown });
        } else {
            m_phase = Phase::Idle;
            result.steps.push_back({ AnswerAction::ShowNextNote, 0 });
        }
    }
    return result;
}

std::optional<int64_t> AnswerJudge::nextDue() const
{
    std::optional<int64_t> due;
    const auto consider = [&due](int64_t at) { due = due ? std::min(*due, at) : at; };
    if (m_correctionWaitEnds)
        consider(*m_correctionWaitEnds);
    if (m_correctionEnds)
        consider(*m_correctionEnds);
    if (m_phase == Phase::Pause)
        consider(m_pauseEnds);
    // The time for the chord's notes ends after the first was struck.
    if (awaitsChord() && !m_strokes.empty())
        consider(m_strokes.front().down
            + (m_chordInput == ChordInput::MidiKeyboard ? MidiChordWindow : ComputerKeysChordWindow) + 1);
    return due;
}

AnswerResult AnswerJudge::stop()
{
    AnswerResult result;
    endCorrection(result);
    m_session = {};
    m_phase = Phase::Idle;
    return result;
}

std::optional<int> AnswerJudge::shownNote() const
{
    if (m_phase == Phase::Idle)
        return std::nullopt;
    return m_shown;
}

void AnswerJudge::judge(int midiNote, int64_t now, AnswerResult& result)
{
    // A new answer ends the correction of the last one, heard or still to come.
    endCorrection(result);
    judged(midiNote == m_shown, midiNote, now, now, result);
}

void AnswerJudge::judgeChordSoFar(int64_t now, AnswerResult& result)
{
    const ChordAnswer answer = judgeChord(m_asked, m_strokes, m_chordInput, now);
    if (!answer.complete)
        return;
    const KeyStroke first = m_strokes.front();
    m_strokes.clear();
    result.wrongNotes = answer.wrong;
    result.missingNotes = answer.missing;
    result.playedNotes = answer.wrong;
    for (const int note : m_asked) {
        if (std::find(answer.missing.begin(), answer.missing.end(), note) == answer.missing.end())
            result.playedNotes.push_back(note);
    }
    std::sort(result.playedNotes.begin(), result.playedNotes.end());
    judged(answer.right, first.midi, first.down, now, result);
}

void AnswerJudge::judged(bool right, int answered, int64_t answeredAt, int64_t now, AnswerResult& result)
{
    const int64_t responseMs = std::max<int64_t>(answeredAt - m_shownAt, 0);
    result.record = AnswerRecord { m_mode, m_shown, answered, right, responseMs };
    if (!m_answered) {
        m_answered = true;
        m_session.firstAnswer(m_shownNotes, right, responseMs);
    }

    if (right) {
        m_session.answeredRight(now);
        result.steps.push_back({ AnswerAction::MarkRight, m_shown });
        m_phase = Phase::Pause;
        m_pauseEnds = now + NextNoteDelayMs;
    } else {
        result.steps.push_back({ AnswerAction::MarkWrong, m_shown });
        m_correctionWaitEnds = now + CorrectionWaitMs;
    }
}

void AnswerJudge::startCorrection(int64_t now, AnswerResult& result)
{
    m_correctionWaitEnds.reset();
    m_correctionVoice = m_voice;
    m_correctionEnds = now + CorrectionMs;
    const AnswerAction action = m_voice == AnswerVoice::Sound ? AnswerAction::SoundCorrection
        : m_voice == AnswerVoice::Speak                       ? AnswerAction::SpeakCorrection
                                                              : AnswerAction::PressCorrectionKey;
    for (const int note : m_asked)
        result.steps.push_back({ action, note });
}

void AnswerJudge::endCorrection(AnswerResult& result)
{
    m_correctionWaitEnds.reset();
    if (!m_correctionEnds)
        return;
    m_correctionEnds.reset();
    const AnswerAction action = m_correctionVoice == AnswerVoice::Sound ? AnswerAction::SilenceCorrection
                                                                        : AnswerAction::ReleaseCorrectionKey;
    for (const int note : m_asked)
        result.steps.push_back({ action, note });
}

bool AnswerJudge::anyKeyHeld() const
{
    return std::any_of(m_held.begin(), m_held.end(), [](bool held) { return held; });
}

} // namespace zintaro::compose
