#pragma once

#include "core/modulo1.h"
#include "core/translation.h"
#include "staff/staff.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zintaro::compose {

// Told when an entry would not fit: the store keeps 1000 entries and the end marker.
inline constexpr const char* CompositionFullText = QT_TRANSLATE_NOOP("Compose",
    "La composizione è piena: contiene 1000 elementi, il massimo che può tenere. Non è stato aggiunto nulla.");

enum class EntryOutcome {
    Drawn, // drawn only (store false, or a playback is listening)
    Stored, // drawn and written into the composition
    Refused, // the composition is full: nothing drawn, stored or moved
};

// The one road of a note or rest to the staff and the store. The entry is
// drawn in column CursorColumn and stored at position WriteIndex (which, on
// the composition's page, is 57 × page + CursorColumn); afterwards both
// advance by one, and the page turns (clear, drawStaff) after column 56.
// An append that would leave no room for the end marker is refused; the
// caller tells it (CompositionFullText).
EntryOutcome enterNote(Modulo1& m, staff::StaffSurface& s, bool store, bool isRest, int16_t note, int16_t duration);

// How the rules draw a staff page of the piece: the window's scale, the
// "Scrivi" switch, the piece's key on every page and its meter on the first.
inline staff::Look lookOf(const Modulo1& m, int page)
{
    return { m.DrawScale, m.WriteNames, m.Naming, m.PieceKey,
        page == 0 ? std::optional<Meter>(m.PieceMeter) : std::nullopt };
}

// The page that holds the write position.
inline staff::Look lookOf(const Modulo1& m)
{
    return lookOf(m, m.pageOf(m.WriteIndex));
}

// Where the cursor stands for a position of the piece: on the grid of the
// columns of its page.
inline int cursorX(const Modulo1& m, int position)
{
    return staff::columnGrid(lookOf(m, m.pageOf(position))).centre(m.columnOf(position));
}

// The piece as the staff shows it, on one page.
inline staff::PageView pageOf(const Modulo1& m, int page)
{
    return { m.Composition, m.NoteCount, page, m.PieceMeter };
}

// The empty state of the store; counts and cursor are the caller's.
void clearComposition(Modulo1& m);

} // namespace zintaro::compose
