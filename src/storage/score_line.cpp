#include "storage/score_line.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zintaro::storage {

void KeptLine::startMeasure()
{
    m_position = 0;
    m_measureEnd = 0;
}

void KeptLine::endMeasure()
{
    m_measureStart += std::max(m_measureEnd, m_position);
}

void KeptLine::move(double sixtyFourths)
{
    m_position = std::max(0.0, m_position + sixtyFourths);
    m_measureEnd = std::max(m_measureEnd, m_position);
}

void KeptLine::add(const ScoreNote& note)
{
    if (note.grace)
        return;
    // A chord's further notes start with its first.
    const double start = note.chord ? m_chordStart : m_measureStart + m_position;
    const double length = note.length;
    if (!note.chord) {
        m_chordStart = start;
        m_position += length;
        m_measureEnd = std::max(m_measureEnd, m_position);
    }
    if (note.cue || note.staff != 1)
        return;
    if (!m_voice)
        m_voice = note.voice;
    if (note.voice != *m_voice)
        return;

    if (note.chord) {
        // A chord keeps its top note, and that note's tie.
        if (m_piece.notes.empty() || !m_piece.notes.back().pitch || !note.pitch)
            return;
        ImportedNote& top = m_piece.notes.back();
        if (!m_chordCounted) {
            m_chordCounted = true;
            ++m_piece.losses.chordsReduced;
        }
        if (*note.pitch > *top.pitch) {
            top.pitch = note.pitch;
            top.tiedToNext = note.tieStart;
        }
        return;
    }
    m_chordCounted = false;

    // What the kept voice leaves silent (a forward, another voice's time) is a rest.
    if (const double gap = start - m_voiceEnd; gap >= 0.5)
        for (const WrittenValue& v : valuesFilling(std::llround(gap), valuesRoom(m_piece.notes.size())))
            append({ std::nullopt, v, false });
    m_voiceEnd = std::max(m_voiceEnd, start + length);

    if (note.inTuplet()) {
        if (note.tupletStart || !m_inTuplet) {
            auto& groups = note.actualNotes == 3 && note.normalNotes == 2 ? m_piece.losses.tripletsApproximated
                                                                          : m_piece.losses.otherTupletsApproximated;
            ++groups;
        }
        m_inTuplet = true;
        append({ note.pitch, nearestValue(length), note.tieStart });
        return;
    }
    m_inTuplet = false;
    if (!note.type) {
        // A whole-measure rest, or a note with no type: the values that
        // fill its duration, a note's tied.
        std::vector<WrittenValue> values
            = valuesFilling(std::max(1LL, std::llround(length)), valuesRoom(m_piece.notes.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            append({ note.pitch, values[i], note.pitch && (i + 1 < values.size() || note.tieStart) });
        return;
    }
    const WrittenValue written { std::min(*note.type, 6), note.dots > 0 };
    if (*note.type > 6 || note.dots > 1 || (note.dots > 0 && *note.type == 6)) {
        ++m_piece.losses.valuesApproximated;
        append({ note.pitch, nearestValue(length > 0 ? length : written.sixtyFourths()), note.tieStart });
        return;
    }
    append({ note.pitch, written, note.tieStart });
}

void KeptLine::append(ImportedNote note)
{
    if (m_piece.notes.size() >= MaxImportedNotes) {
        m_piece.losses.notesLeftOut = true;
        return;
    }
    m_piece.notes.push_back(note);
}

} // namespace zintaro::storage
