#pragma once

#include "core/modulo1.h"

#include <string>

namespace zintaro::staff {

// The piece at positions 0 .. noteCount − 1 engraved as a printed score, a
// PDF of A4 landscape pages: the title, then systems of whole measures with
// the treble clef and 4/4 on each, the page numbers at the feet. With
// writeNames, each note's name stands under it, in solfège or as a letter.
// An empty piece gives one page with an empty staff.
std::string writePdf(const CompositionStore& store, int noteCount, const std::string& title, bool writeNames,
    NoteNaming naming = NoteNaming::Solfege);

} // namespace zintaro::staff
