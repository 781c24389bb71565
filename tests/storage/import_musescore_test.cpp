#include "import_pieces.h"
#include "storage/export_writers.h"
#include "storage/importers.h"
#include "storage_test_support.h"
#include "support/run_command.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>
#include <zip.h>

namespace zintaro::storage {
namespace {

namespace fs = std::filesystem;
using namespace zintaro::testing;

// A zip archive of the named entries, written by libzip as a score program
// packs one.
std::string packed(const fs::path& folder, const std::vector<std::pair<std::string, std::string>>& entries)
{
    const fs::path path = folder / "packed.mxl";
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr)
        return {};
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        if (source == nullptr || zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0)
            zip_source_free(source);
    }
    zip_close(archive);
    return readBytes(path);
}

std::string container(const std::string& rootFile)
{
    return "<?xml version=\"1.0\"?><container><rootfiles><rootfile full-path=\"" + rootFile
        + "\" media-type=\"application/vnd.recordare.musicxml+xml\"/></rootfiles></container>";
}

TEST(ImportCompressed, anArchiveImportsLikeItsPlainScoreAndABombIsRefused)
{
    const TemporaryFolder folder;
    const ExportedPiece& piece = exportedPieces().at(1);
    const std::string xml
        = writeMusicXml(piece.store(), piece.count(), "Violino", false, NoteNaming::Solfege, piece.key, piece.meter);
    const std::string other = writeMusicXml(piece.store(), 2, "Altro", false);
    const std::vector<ImportedNote> plain = readMusicXml(xml).piece->notes;

    // The container names the score; without one, the first score in the archive.
    for (const auto& entries : { std::vector<std::pair<std::string, std::string>> { { "altro.xml", other },
                                     { "META-INF/container.xml", container("partitura/brano.musicxml") },
                                     { "partitura/brano.musicxml", xml } },
             std::vector<std::pair<std::string, std::string>> {
                 { "leggimi.txt", "x" }, { "brano.musicxml", xml }, { "altro.xml", other } } }) {
        const ImportOutcome outcome = readCompressedMusicXml(packed(folder.path(), entries));
        ASSERT_TRUE(outcome.piece) << outcome.text.render();
        EXPECT_EQ(outcome.piece->notes, plain);
        EXPECT_EQ(outcome.piece->key, piece.key);
    }

    const std::string zeros(33u << 20, '\0');
    const std::string bomb = packed(folder.path(), { { "brano.musicxml", zeros } });
    EXPECT_EQ(readCompressedMusicXml(bomb).text.render(),
        "la partitura compressa si espanderebbe oltre " + std::to_string(std::min(32ul, bomb.size() * 100 >> 20))
            + " MB: non è stata aperta");
    const std::string noScore = packed(folder.path(), { { "leggimi.txt", "nessuna partitura" } });
    EXPECT_EQ(readCompressedMusicXml(noScore).text.render(), "l'archivio non contiene una partitura MusicXML");
}

// MuseScore 3 turns each exported score into MIDI, MusicXML and a
// compressed score; each imports with the notes of the piece.
TEST(ImportMuseScore, scoresAndMidiFilesMuseScoreWritesImportWithThePiecesNotes)
{
    if (!haveProgram("musescore3"))
        GTEST_SKIP() << "skipped: musescore3 is not installed";
    const TemporaryFolder folder;
    std::string job = "[";
    for (const ExportedPiece& piece : exportedPieces()) {
        const std::string name = (folder.path() / piece.name).string();
        writeBytes(name + ".musicxml",
            writeMusicXml(
                piece.store(), piece.count(), "Pianoforte", false, NoteNaming::Solfege, piece.key, piece.meter));
        job += std::string(job.size() > 1 ? "," : "") + "{\"in\":\"" + name + ".musicxml\",\"out\":[\"" + name
            + ".mid\",\"" + name + "-ms.musicxml\",\"" + name + ".mxl\"]}";
    }
    writeBytes(folder.path() / "job.json", job + "]");
    const auto converted = runCommand("QT_QPA_PLATFORM=offscreen musescore3 -j "
        + shellQuoted((folder.path() / "job.json").string()) + " >/dev/null 2>&1");
    ASSERT_EQ(converted.exitCode, 0);

    for (const ExportedPiece& piece : exportedPieces()) {
        SCOPED_TRACE(piece.name);
        const fs::path name = folder.path() / piece.name;
        for (const char* score : { "-ms.musicxml", ".mxl" }) {
            const ImportOutcome outcome = importFile(name.string() + score);
            ASSERT_TRUE(outcome.piece) << outcome.text.render();
            EXPECT_EQ(outcome.piece->notes, piece.asScore()) << score;
            EXPECT_EQ(outcome.piece->key, piece.key);
            EXPECT_EQ(outcome.piece->meter, piece.meter);
        }
        const ImportOutcome sound = importFile(name.string() + ".mid");
        ASSERT_TRUE(sound.piece) << sound.text.render();
        EXPECT_EQ(sound.piece->notes, piece.asSound());
        // MuseScore's MIDI files call every key major.
        EXPECT_EQ(sound.piece->key.fifths, piece.key.fifths);
        EXPECT_EQ(sound.piece->meter, piece.meter);
    }
}

} // namespace
} // namespace zintaro::storage
