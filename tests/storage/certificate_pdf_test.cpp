#include "storage/certificate_pdf.h"
#include "storage_test_support.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace zintaro::storage {
namespace {

std::string pdfText(const std::filesystem::path& pdf)
{
    const std::string command = "pdftotext -layout '" + pdf.string() + "' - 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string text;
    std::array<char, 4096> chunk {};
    while (pipe && std::fgets(chunk.data(), int(chunk.size()), pipe.get()))
        text += chunk.data();
    return text;
}

TEST(CertificatePdf, aCertificateIsOnePageOfItsFiguresAndNeverReplacesAnother)
{
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext is not installed";
    testing::TemporaryFolder temp;
    const std::filesystem::path files = temp.path() / "files";
    const Certificate certificate { "Anna Bianchi", "Scala di Re", 2026, 12, 8, true, 6, 8, 75, 75 };
    const ProgressExport first = writeCertificate(files, certificate);
    ASSERT_TRUE(first.written()) << first.error.render();
    const ProgressExport second = writeCertificate(files, certificate);
    ASSERT_TRUE(second.written());
    EXPECT_EQ(first.file, files / "attestato-2026-12-08.pdf");
    EXPECT_EQ(second.file, files / "attestato-2026-12-08-2.pdf");
    EXPECT_EQ(testing::namesIn(files),
        (std::vector<std::string> { "attestato-2026-12-08-2.pdf", "attestato-2026-12-08.pdf" }));

    const std::string text = pdfText(first.file);
    for (const char* words :
        { "Attestato", "Studente: Anna Bianchi", "Esercizio: Scala di Re", "Data: 08/12/2026",
            "Note giuste al primo tentativo e a tempo: 6 su 8 (75 %)", "Soglia per superarlo: 75 %", "Esame superato" })
        EXPECT_NE(text.find(words), std::string::npos) << words << " not in:\n" << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 1) << "one page";
}

} // namespace
} // namespace zintaro::storage
