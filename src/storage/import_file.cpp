#include "storage/file_read.h"
#include "storage/importers.h"
#include "storage/quoted.h"

namespace zintaro::storage {

ImportOutcome importFile(const std::filesystem::path& path, int part)
{
    // A name that is not valid UTF-8 is shown with replacement characters.
    const std::string name = path.filename().string();
    const auto told = [&](ImportResult result, const Text& why) -> ImportOutcome {
        return { result, std::nullopt,
            translate("Import", "Il file %1 non si è potuto importare: %2. Non è cambiato nulla.")
                .arg(quoted(name))
                .arg(why) };
    };

    // The limit is the kind's the name promises; the bytes decide the kind.
    const std::string extension = path.extension().string();
    const bool namedMidi = extension == ".mid" || extension == ".midi" || extension == ".MID" || extension == ".smf";
    const FileBytes file = readWholeFile(path, namedMidi ? MaxMidiBytes : MaxScoreBytes);
    if (file.problem)
        return told(ImportResult::Unreadable, *file.problem);

    const std::string_view bytes = file.bytes;
    ImportOutcome outcome = bytes.starts_with("MThd") ? readMidiFile(bytes, part)
        : bytes.starts_with("PK\x03\x04")             ? readCompressedMusicXml(bytes, part)
                                                      : readMusicXml(bytes, part);
    if (outcome.result != ImportResult::Imported)
        return told(outcome.result, outcome.text);
    return outcome;
}

} // namespace zintaro::storage
