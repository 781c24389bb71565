#include "compose/answer_session.h"

#include "compose/chord_material.h"
#include "core/note_model.h"
#include "core/pitch.h"
#include "core/translation.h"

#include <algorithm>

namespace zintaro::compose {

int SessionFigures::percentRight() const
{
    if (notes <= 0)
        return 0;
    return (rightAtFirstTry * 200 + notes) / (notes * 2);
}

bool ranksAbove(const SessionFigures& a, const SessionFigures& b)
{
    // Proportions compared by cross-multiplying, so 19 of 20 ties with 95 of 100.
    const int64_t left = int64_t { a.rightAtFirstTry } * b.notes;
    const int64_t right = int64_t { b.rightAtFirstTry } * a.notes;
    if (left != right)
        return left > right;
    return a.medianResponseMs < b.medianResponseMs;
}

std::optional<int64_t> medianOf(std::vector<int64_t> times)
{
    if (times.empty())
        return std::nullopt;
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    if (times.size() % 2 == 1)
        return times[middle];
    return (times[middle - 1] + times[middle]) / 2;
}

Text secondsText(int64_t ms)
{
    const int64_t tenths = (std::max<int64_t>(ms, 0) + 50) / 100;
    return translate("Answers", "%1,%2 s").arg(static_cast<long long>(tenths / 10)).arg(static_cast<int>(tenths % 10));
}

std::string noteNameOfMidi(int midiNote, NoteNaming naming)
{
    const int index = keyOfMidiNote(midiNote);
    if (index < 0)
        return std::to_string(midiNote);
    std::string name { naming == NoteNaming::Letters ? writtenName(index, naming) : spokenName(index) };
    if (isSharp(static_cast<int16_t>(index)))
        name += '#';
    return name;
}

void AnswerSession::noteShown(int64_t now)
{
    if (!m_startedAt)
        m_startedAt = now;
}

void AnswerSession::firstAnswer(int shownMidiNote, bool right, int64_t responseMs)
{
    firstAnswer(sharpSpelling(shownMidiNote), right, responseMs);
}

void AnswerSession::firstAnswer(SpelledNote shown, bool right, int64_t responseMs)
{
    firstAnswer(std::vector<SpelledNote> { shown }, right, responseMs);
}

void AnswerSession::firstAnswer(const std::vector<SpelledNote>& shown, bool right, int64_t responseMs)
{
    m_responseMs.push_back(std::max<int64_t>(responseMs, 0));
    if (right) {
        ++m_rightAtFirstTry;
        return;
    }
    const auto known
        = std::find_if(m_missed.begin(), m_missed.end(), [shown](const auto& missed) { return missed.first == shown; });
    if (known != m_missed.end())
        ++known->second;
    else
        m_missed.emplace_back(shown, 1);
}

void AnswerSession::answeredRight(int64_t now)
{
    ++m_notesDone;
    m_lastRightAt = now;
}

SessionFigures AnswerSession::figures() const
{
    return { notes(), m_rightAtFirstTry, medianResponseMs().value_or(0) };
}

std::optional<int> AnswerSession::notesPerMinute() const
{
    if (m_notesDone == 0 || !m_startedAt)
        return std::nullopt;
    const int64_t elapsed = std::max<int64_t>(m_lastRightAt - *m_startedAt, 1);
    return static_cast<int>((int64_t { m_notesDone } * 60000 * 2 + elapsed) / (elapsed * 2));
}

std::vector<std::vector<SpelledNote>> AnswerSession::mostMissed(size_t count) const
{
    auto missed = m_missed;
    const auto lowToHigh = [](const std::vector<SpelledNote>& a, const std::vector<SpelledNote>& b) {
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
            if (midiNoteOf(a[i]) != midiNoteOf(b[i]))
                return midiNoteOf(a[i]) < midiNoteOf(b[i]);
            if (a[i].accidental != b[i].accidental)
                return a[i].accidental > b[i].accidental;
        }
        return a.size() < b.size();
    };
    std::stable_sort(missed.begin(), missed.end(), [&lowToHigh](const auto& a, const auto& b) {
        if (a.second != b.second)
            return a.second > b.second;
        return lowToHigh(a.first, b.first);
    });
    std::vector<std::vector<SpelledNote>> notes;
    for (size_t i = 0; i < missed.size() && i < count; ++i)
        notes.push_back(missed[i].first);
    return notes;
}

Text AnswerSession::scoreLabel() const
{
    if (const auto median = medianResponseMs())
        return translate("Answers", "giuste %1 su %2 · %3")
            .arg(m_rightAtFirstTry)
            .arg(notes())
            .arg(secondsText(*median));
    return translate("Answers", "giuste %1 su %2").arg(m_rightAtFirstTry).arg(notes());
}

std::vector<Text> AnswerSession::summaryLines(
    const std::optional<SessionFigures>& bestFromHistory, NoteNaming naming) const
{
    const SessionFigures own = figures();
    std::vector<Text> lines;
    lines.push_back(translate("Answers", "Giuste al primo colpo: %1 %").arg(own.percentRight()));
    lines.push_back(translate("Answers", "Tempo mediano di risposta: %1").arg(secondsText(own.medianResponseMs)));
    lines.push_back(translate("Answers", "Note al minuto: %1").arg(notesPerMinute().value_or(0)));

    // An interval's or a chord's name is long: only the most missed one fits.
    const auto missed = mostMissed();
    if (missed.empty()) {
        lines.push_back(translate("Answers", "Più sbagliate: nessuna"));
    } else if (missed.front().size() > 1) {
        lines.push_back(translate("Answers", "Il più sbagliato: %1").arg(shownName(missed.front(), naming)));
    } else {
        std::string names;
        for (const auto& notes : missed) {
            if (!names.empty())
                names += ", ";
            names += noteName(notes.front(), naming, true);
        }
        lines.push_back(translate("Answers", "Più sbagliate: %1").arg(names));
    }

    const SessionFigures best = bestFromHistory && ranksAbove(*bestFromHistory, own) ? *bestFromHistory : own;
    lines.push_back(translate("Answers", "Miglior sessione: %1 % · %2")
                        .arg(best.percentRight())
                        .arg(secondsText(best.medianResponseMs)));
    return lines;
}

} // namespace zintaro::compose
