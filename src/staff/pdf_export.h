#pragma once

#include "core/modulo1.h"

#include <string>

namespace zintaro::staff {

// A PDF (A4 landscape) of the piece at positions 0 .. noteCount − 1 as the
// staff shows it: every staff page of 57 columns with its glyphs and bars,
// drawn as vectors, several to a sheet, under the title, with the sheet's
// number at its foot. With writeNames, each note's name stands under it, in
// solfège or as a letter. An empty piece gives one sheet with an empty staff.
std::string writePdf(const CompositionStore& store, int noteCount, const std::string& title, bool writeNames,
    NoteNaming naming = NoteNaming::Solfege);

} // namespace zintaro::staff
