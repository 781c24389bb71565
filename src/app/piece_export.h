#pragma once

#include "core/modulo1.h"
#include "storage/export_file.h"

#include <filesystem>
#include <string>

namespace zintaro::app {

// Writes the piece as a file of another kind (FOLDER/NAME.mid, .musicxml or
// .pdf) with the chosen instrument; the piece itself is untouched. Refusals
// and failures come back with their words.
storage::ExportOutcome exportPiece(const Modulo1& m, storage::ExportKind kind, const std::filesystem::path& folder,
    const std::string& name, int program);

} // namespace zintaro::app
