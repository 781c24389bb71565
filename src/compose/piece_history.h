#pragma once

#include "core/modulo1.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

namespace zintaro::compose {

// The piece as one change found it: the store, its length, the cursor, and
// the key and meter it is written in.
struct PieceSnapshot {
    CompositionStore store;
    int noteCount = 0;
    int cursor = 0;
    Key key;
    Meter meter;
};

// The changes that can be taken back and made again. Each step keeps the
// whole piece, so an undo gives back exactly what was there, whatever the
// change was.
class PieceHistory {
public:
    static constexpr std::size_t Depth = 1000;

    // A change was made from `before`: it can be undone; what was undone
    // before can no longer be redone.
    void changed(const PieceSnapshot& before);
    // Gives the piece to go back to, keeping `current` for a redo.
    std::optional<PieceSnapshot> undo(const PieceSnapshot& current);
    std::optional<PieceSnapshot> redo(const PieceSnapshot& current);
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }

private:
    std::deque<PieceSnapshot> m_undo;
    std::vector<PieceSnapshot> m_redo;
};

} // namespace zintaro::compose
