#pragma once

#include "core/translation.h"
#include "storage/progress_export.h"

#include <filesystem>
#include <string>
#include <vector>

namespace zintaro::storage {

// What a certificate of a passed exam shows.
struct Certificate {
    std::string student;
    std::string title; // the exercise's title
    int year = 0;
    int month = 0;
    int day = 0;
    bool inTime = false; // the exam was "A tempo": the figures count notes on time
    int counted = 0; // notes right at the first try (and on time)
    int notes = 0;
    int percent = 0;
    int passMark = 0;
};

// The words of the page, one line each, the heading first.
std::vector<Text> certificateLines(const Certificate& certificate);

// A one-page A4 PDF of the lines, in the language of `lookup`. Needs a
// QGuiApplication (the fonts).
std::string certificatePdf(const Certificate& certificate, Lookup lookup = nullptr);

// Writes the certificate's PDF into the compositions folder as
// "attestato-2026-12-08.pdf" ("-2", "-3", … while the name is taken),
// never replacing a file.
ProgressExport writeCertificate(
    const std::filesystem::path& folder, const Certificate& certificate, Lookup lookup = nullptr);

} // namespace zintaro::storage
