#include "compose/imported_composition.h"

#include <algorithm>
#include <cmath>

namespace zintaro::compose {

namespace {

// The lowest key of the composition's staff as a MIDI note (F3).
constexpr int LowestMidi = 53;

// The piano key an imported pitch is written on: moved by octaves into the
// staff's keys when outside them.
int16_t keyOf(int midi, bool& moved)
{
    int index = midi - LowestMidi;
    moved = !isPianoNote(index);
    while (index < 0)
        index += 12;
    while (index >= NoteCountOnPiano)
        index -= 12;
    return static_cast<int16_t>(index);
}

} // namespace

ImportedComposition compositionOf(const storage::ImportedPiece& imported)
{
    ImportedComposition c;
    c.piece.key = imported.key;
    c.piece.meter = imported.meter;
    const auto count = std::min<std::size_t>(imported.notes.size(), MaxEntries);
    c.leftOut = static_cast<int>(imported.notes.size() - count);
    c.piece.entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const storage::ImportedNote& note = imported.notes[i];
        Entry e;
        e.DurationCode = static_cast<int16_t>(note.value.code);
        e.Dotted = note.value.dotted;
        if (note.pitch) {
            bool moved = false;
            e.NoteIndex = keyOf(*note.pitch, moved);
            e.TiedToNext = note.tiedToNext;
            c.movedByOctaves += moved ? 1 : 0;
        } else {
            e.RestFlag = True16;
        }
        c.piece.entries.push_back(e);
    }
    // The tempo bar's number is the milliseconds of a whole note over 30, so
    // a quarter lasts 7.5 × it: 8000 over the quarters a minute.
    if (imported.tempo && std::isfinite(*imported.tempo) && *imported.tempo > 0)
        c.tempo = static_cast<int>(std::lround(std::clamp(8000.0 / *imported.tempo, 40.0, 210.0)));
    return c;
}

Text importChanges(const Text& fileLosses, const ImportedComposition& composition)
{
    std::vector<Text> parts;
    if (!fileLosses.empty())
        parts.push_back(fileLosses);
    if (composition.movedByOctaves == 1)
        parts.push_back(translate("Import", "1 nota spostata d'ottava per stare sul pentagramma"));
    else if (composition.movedByOctaves > 1)
        parts.push_back(
            translate("Import", "%1 note spostate d'ottava per stare sul pentagramma").arg(composition.movedByOctaves));
    if (composition.leftOut > 0)
        parts.push_back(translate("Import", "le ultime %1 note e pause lasciate fuori: la composizione ne tiene %2")
                            .arg(composition.leftOut)
                            .arg(MaxEntries));
    if (parts.empty())
        return {};
    Text joined = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i)
        joined = translate("Import", "%1; %2").arg(joined).arg(parts[i]);
    return joined;
}

Report Workspace::importPiece(const storage::ImportedPiece& imported, const Text& fileLosses)
{
    const ImportedComposition composition = compositionOf(imported);
    Report r = apply(composition.piece);
    if (r.piece == PieceOutcome::Changed)
        m_exercise.reset();
    if (const Text changes = importChanges(fileLosses, composition); !changes.empty())
        r.told.push_back(translate("Import", "Importato, con qualche cambiamento: %1.").arg(changes));
    r.tempo = composition.tempo;
    return r;
}

} // namespace zintaro::compose
