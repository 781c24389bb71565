#pragma once

#include "storage/importers.h"

#include <cstdlib>

namespace zintaro::fuzz {

inline void require(bool holds)
{
    if (!holds)
        std::abort();
}

// What every import must give: a piece the rules can take (pitches and
// written values in range, the part picked among those offered), or no
// piece and words that say why.
inline void checkImport(const storage::ImportOutcome& outcome)
{
    using namespace storage;
    if (outcome.result != ImportResult::Imported) {
        require(!outcome.piece && !outcome.text.empty());
        return;
    }
    require(outcome.piece.has_value() && outcome.text.empty());
    const ImportedPiece& piece = *outcome.piece;
    require(!piece.notes.empty() && piece.notes.size() <= MaxImportedNotes);
    require(piece.chosenPart >= 0 && piece.chosenPart < static_cast<int>(piece.parts.size()));
    require(isValidKey(piece.key) && piece.meter.beats > 0 && piece.meter.unit > 0);
    require(!piece.tempo || *piece.tempo > 0);
    for (const ImportedNote& note : piece.notes) {
        require(!note.pitch || (*note.pitch >= 0 && *note.pitch <= 127));
        require(note.value.code >= 0 && note.value.code <= 6 && !(note.value.dotted && note.value.code == 6));
    }
    lossesText(piece.losses).render();
}

} // namespace zintaro::fuzz
