#pragma once

#include "core/translation.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zintaro::storage {

struct ProgressExport {
    std::filesystem::path file; // the file written
    Text error; // why nothing was written; empty when it was

    bool written() const { return error.empty(); }
};

// "<stem>-2026-12-07.pdf", and "-2", "-3", … before the extension while
// the name is taken.
std::string datedPdfName(std::string_view stem, int year, int month, int day, int copy = 1);
// "progressi-2026-12-07.pdf" and its copies.
std::string progressPdfName(int year, int month, int day, int copy = 1);

// Writes a PDF into the folder (made when missing) under the first free
// dated name of the stem. An existing file is never replaced: the new one is
// written whole under a temporary name and then linked to its name, which
// fails rather than replace a file that appeared meanwhile.
ProgressExport writeDatedPdf(
    const std::filesystem::path& folder, std::string_view stem, int year, int month, int day, std::string_view bytes);

// Writes the progress page's PDF as writeDatedPdf does, as "progressi-…".
ProgressExport writeProgressPdf(
    const std::filesystem::path& folder, int year, int month, int day, std::string_view bytes);

} // namespace zintaro::storage
