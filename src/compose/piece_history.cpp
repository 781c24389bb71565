#include "compose/piece_history.h"

namespace zintaro::compose {

void PieceHistory::changed(const PieceSnapshot& before)
{
    m_redo.clear();
    if (m_undo.size() >= Depth)
        m_undo.pop_front();
    m_undo.push_back(before);
}

std::optional<PieceSnapshot> PieceHistory::undo(const PieceSnapshot& current)
{
    if (m_undo.empty())
        return std::nullopt;
    PieceSnapshot back = m_undo.back();
    m_undo.pop_back();
    m_redo.push_back(current);
    return back;
}

std::optional<PieceSnapshot> PieceHistory::redo(const PieceSnapshot& current)
{
    if (m_redo.empty())
        return std::nullopt;
    PieceSnapshot again = m_redo.back();
    m_redo.pop_back();
    m_undo.push_back(current);
    return again;
}

} // namespace zintaro::compose
