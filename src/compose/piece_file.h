#pragma once

#include "compose/ports.h"
#include "core/modulo1.h"
#include "core/translation.h"

#include <filesystem>
#include <string>

namespace zintaro::compose {

// What a load did: whether the piece was replaced, and the words to tell
// (why nothing was loaded, or what of the file was left out); empty when
// there is nothing to tell.
struct PieceLoad {
    bool replaced = false;
    Text text;
};

// Replaces the piece by a composition file and shows it: the cursor after
// the last entry, the staff on its page with the page's bars. A file that
// cannot be read, or is not a composition, changes nothing.
PieceLoad loadComposition(Modulo1& m, const Ports& ports, const std::filesystem::path& file);

} // namespace zintaro::compose
