#include "compose/piece_file.h"

#include "core/dialogs.h"
#include "staff/staff.h"
#include "storage/composition_file.h"
#include "storage/composition_format.h"

namespace zintaro::compose {

bool loadComposition(Modulo1& m, const Ports& ports, const std::filesystem::path& file)
{
    auto outcome = storage::loadComposition(file);
    if (!outcome.text.empty())
        ports.dialogs.message(outcome.text);
    if (!outcome.piece)
        return false;
    const storage::ParsedComposition* piece = &*outcome.piece;
    storage::applyToStore(*piece, m.Composition);
    m.NoteCount = piece->noteCount();
    staff::drawPage(m, ports.surface, m.pageOf(m.NoteCount));
    staff::placeCursor(m, ports.surface, m.NoteCount);
    return true;
}

} // namespace zintaro::compose
