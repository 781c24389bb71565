#pragma once

#include "compose/ports.h"
#include "core/modulo1.h"

#include <filesystem>

namespace zintaro::compose {

// Replaces the piece by a composition file and shows it: the cursor after
// the last entry, the staff on its page with the page's bars. A file that
// cannot be read, or is not a composition, is told and changes nothing.
// True when the piece was replaced.
bool loadComposition(Modulo1& m, const Ports& ports, const std::filesystem::path& file);

} // namespace zintaro::compose
