#pragma once

#include "compose/workspace.h"
#include "storage/imported_piece.h"

namespace zintaro::compose {

// A piece read from another program's file as the composition holds it: its
// notes on the composition's staff, Fa3 to Mi6, and what had to change.
struct ImportedComposition {
    ReplacePiece piece;
    int movedByOctaves = 0; // notes outside the staff's keys, moved by octaves into them
    int leftOut = 0; // notes and rests past the store's room
    std::optional<int> tempo; // the file's tempo as the tempo bar's number, 40..210
};

ImportedComposition compositionOf(const storage::ImportedPiece& imported);

// The sentence of what the import changed: the file's own losses, then the
// octaves and the notes left out, joined as one; empty when nothing changed.
Text importChanges(const Text& fileLosses, const ImportedComposition& composition);

} // namespace zintaro::compose
