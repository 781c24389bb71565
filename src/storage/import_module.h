#pragma once

#include "core/translation.h"
#include "storage/imported_piece.h"

namespace zintaro::storage {

// The importers as a module the program loads at the first "Importa…", so
// that nothing of XML, zip or MIDI files is mapped before: one entry that
// imports `path` (the part or track `part`, from 0) into `outcome`, and puts
// the sentence of what could not be kept into `losses`.
using ImportFileFunction = void (*)(const char* path, int part, ImportOutcome* outcome, Text* losses);
inline constexpr const char* ImportFileSymbol = "zintaro_import_file";
inline constexpr const char* ImportModuleFileName = "zintaro-import.so";

} // namespace zintaro::storage
