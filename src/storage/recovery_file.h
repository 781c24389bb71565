#pragma once

#include "core/translation.h"
#include "storage/composition_format.h"

#include <filesystem>
#include <optional>
#include <string>

namespace zintaro::storage {

// What the recovery file left by an earlier run held.
struct RecoveryRead {
    std::optional<ParsedComposition> piece; // wholly a composition as the program writes it
    bool damaged = false; // a file was there but not that
    std::optional<std::filesystem::path> setAside; // where a damaged file went; nothing when it could not be moved
};

// Reads the recovery file. A file that is not wholly a composition as the
// program writes it is renamed beside itself, never over an earlier
// damaged copy and never deleted. No file gives nothing.
RecoveryRead readRecoveryFile(const std::filesystem::path& file);

// Makes the recovery file hold `text` (through the atomic writer, the
// folder made when missing), or removes it when there is no text. Gives the
// system's reason when that failed.
std::optional<Text> writeRecoveryFile(const std::filesystem::path& file, const std::optional<std::string>& text);

} // namespace zintaro::storage
