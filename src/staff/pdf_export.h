#pragma once

#include "core/key_meter.h"
#include "core/modulo1.h"

#include <string>

namespace zintaro::staff {

// The piece at positions 0 .. noteCount − 1 engraved as a printed score, a
// PDF of A4 landscape pages: the title, then systems of whole measures with
// the treble clef, the key signature and the meter on each, the page
// numbers at the feet. Notes are written in the key with the signs a
// printed score shows. With writeNames, each note's name as written stands
// under it, in solfège or in letters. An empty piece gives one page with an
// empty staff.
std::string writePdf(const CompositionStore& store, int noteCount, const std::string& title, bool writeNames,
    NoteNaming naming = NoteNaming::Solfege, Key key = {}, Meter meter = {});

} // namespace zintaro::staff
