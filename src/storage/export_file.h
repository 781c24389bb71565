#pragma once

#include "core/translation.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zintaro::storage {

// The kinds of file a composition is exported to, with the extension of
// their files (".mid", ".musicxml", ".pdf") and the file panel's list
// pattern ("*.mid", ...).
enum class ExportKind { Midi, MusicXml, Pdf };
std::string_view exportExtension(ExportKind kind);
std::string_view exportListPattern(ExportKind kind);

enum class ExportResult {
    Exported,
    NameRefused, // the name cannot be a file in the folder; nothing written
    Failed, // the system refused; an old file of that name is as it was
};

struct ExportOutcome {
    ExportResult result = ExportResult::Exported;
    Text text; // why, in plain words; empty when exported
};

// Writes an exported file's bytes to folder/baseName + extension, under the
// same name rules and with the same messages as saving a composition: the
// folder is created when missing, the file is replaced in one step and a
// failure, given back with the system's reason, leaves no partial file
// behind.
ExportOutcome exportFile(const std::filesystem::path& folder, const std::string& baseName, std::string_view extension,
    std::string_view bytes, bool flush = true);

} // namespace zintaro::storage
