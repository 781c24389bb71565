#include "compose/piece_file.h"

#include "compose/editing.h"
#include "compose/note_entry.h"
#include "staff/staff.h"
#include "storage/composition_file.h"
#include "storage/composition_format.h"

namespace zintaro::compose {

PieceLoad loadComposition(Modulo1& m, const Ports& ports, const std::filesystem::path& file)
{
    auto outcome = storage::loadComposition(file);
    if (!outcome.piece)
        return { false, std::move(outcome.text) };
    const storage::ParsedComposition* piece = &*outcome.piece;
    storage::applyToStore(*piece, m.Composition);
    m.NoteCount = piece->noteCount();
    m.PieceKey = piece->key;
    m.PieceMeter = piece->meter;
    const int page = m.pageOf(m.NoteCount);
    staff::drawPage(lookOf(m, page), ports.surface, pageOf(m, page));
    placeCursor(m, ports.surface, m.NoteCount);
    return { true, std::move(outcome.text) };
}

} // namespace zintaro::compose
