#pragma once

#include "storage/imported_piece.h"

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace zintaro::storage {

// The largest MusicXML text, or unpacked compressed score, that is read.
inline constexpr std::size_t MaxScoreBytes = 32u << 20;
// A compressed score unpacks to at most this many times its own size.
inline constexpr std::size_t MaxUnpackRatio = 100;
// The largest standard MIDI file that is read.
inline constexpr std::size_t MaxMidiBytes = 4u << 20;

// Readers of bytes already in memory. `part` picks the part (MusicXML) or
// the track or channel holding notes (MIDI), counted from 0 in the order of
// ImportedPiece::parts. A refusal says why in a phrase that follows "…:".
ImportOutcome readMusicXml(std::string_view bytes, int part = 0);
ImportOutcome readCompressedMusicXml(std::string_view bytes, int part = 0);
ImportOutcome readMidiFile(std::string_view bytes, int part = 0);

// Imports a file: a standard MIDI file, a compressed MusicXML score (.mxl)
// or a MusicXML text, told apart by their first bytes. A file over the
// limit of its kind is refused before it is read. Every refusal comes back
// as one sentence that names the file.
ImportOutcome importFile(const std::filesystem::path& path, int part = 0);

} // namespace zintaro::storage
