#include "storage/composition_file.h"

#include "core/translation.h"
#include "storage/atomic_write.h"
#include "storage/composition_format.h"
#include "storage/file_read.h"
#include "storage/quoted.h"
#include "storage/system_reason.h"
#include "storage/write_failure.h"
#include "storage/write_steps.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace zintaro::storage {

namespace {

// The common limit of a file name's length in bytes on Linux file systems.
constexpr long FallbackNameMax = 255;

// The temporaries of saving (see atomic_write.h): ".saving-PID-N".
constexpr std::string_view TemporaryPrefix = ".saving-";

bool isRunning(long pid)
{
    // EPERM: the process exists but belongs to someone else.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

std::optional<long> savingTemporaryOwner(std::string_view fileName)
{
    if (!fileName.starts_with(TemporaryPrefix))
        return std::nullopt;
    fileName.remove_prefix(TemporaryPrefix.size());
    const std::size_t dash = fileName.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == fileName.size())
        return std::nullopt;
    long pid = 0;
    const char* pidEnd = fileName.data() + dash;
    if (const auto r = std::from_chars(fileName.data(), pidEnd, pid);
        r.ec != std::errc() || r.ptr != pidEnd || pid <= 0)
        return std::nullopt;
    const std::string_view attempt = fileName.substr(dash + 1);
    int number = 0;
    const char* attemptEnd = attempt.data() + attempt.size();
    if (const auto r = std::from_chars(attempt.data(), attemptEnd, number); r.ec != std::errc() || r.ptr != attemptEnd)
        return std::nullopt;
    return pid;
}

int removeStaleTemporaries(const std::filesystem::path& folder)
{
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::optional<long> owner = savingTemporaryOwner(name);
        if (!owner || isRunning(*owner))
            continue;
        std::error_code ignored;
        if (it->is_regular_file(ignored) && ::unlink(it->path().c_str()) == 0)
            ++removed;
    }
    return removed;
}

std::optional<Text> fileNameProblem(const std::string& baseName, std::string_view extension)
{
    if (baseName.empty())
        return translate("Files", "Scrivere prima un nome per la composizione.");
    if (baseName == "." || baseName == "..")
        return translate("Files", "%1 non può essere il nome di una composizione.").arg(quoted(baseName));
    for (const char c : baseName) {
        if (c == '/' || c == '\\')
            return translate("Files",
                "Il nome di una composizione non può contenere \"/\" o \"\\\": le composizioni stanno solo nella "
                "cartella files.");
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return translate("Files", "Il nome di una composizione non può contenere caratteri di controllo.");
    }
    if (static_cast<long>(baseName.size() + extension.size()) > FallbackNameMax)
        return translate("Files", "Il nome è troppo lungo: può avere al massimo %1 byte.")
            .arg(static_cast<long long>(FallbackNameMax - static_cast<long>(extension.size())));
    return std::nullopt;
}

std::optional<Text> ensureFolder(const std::filesystem::path& folder)
{
    if (const int error = makeFoldersIfMissing(folder))
        return translate("Files", "La cartella %1 non si è potuta creare: %2.")
            .arg(quoted(folder))
            .arg(systemReason(error));
    return std::nullopt;
}

SaveOutcome saveComposition(
    const Modulo1& m, const std::filesystem::path& folder, const std::string& baseName, SaveOptions options)
{
    if (const auto problem = fileNameProblem(baseName))
        return { SaveResult::NameRefused, translate("Files", "%1 Non è stato salvato nulla.").arg(*problem) };
    if (const auto problem = ensureFolder(folder))
        return { SaveResult::Failed, translate("Files", "%1 Non è stato salvato nulla.").arg(*problem) };

    removeStaleTemporaries(folder);

    const std::string fileName = baseName + std::string(FileExtension);
    const std::string text = writeCompositionText(m.Composition, m.NoteCount, m.PieceKey, m.PieceMeter);
    std::error_code missing;
    const bool earlier = std::filesystem::exists(folder / fileName, missing);
    if (const int error = writeFileAtomically(folder, fileName, text, options.flush))
        return { SaveResult::Failed, writeFailureText(WrittenFile::Composition, error, earlier) };
    return {};
}

LoadOutcome loadComposition(const std::filesystem::path& path)
{
    // A name that is not valid UTF-8 is shown with replacement characters.
    const std::string name = path.filename().string();
    const auto fail = [&](const Text& why) -> LoadOutcome {
        return { LoadResult::Unreadable, std::nullopt,
            translate(
                "Files", "La composizione %1 non si è potuta caricare: %2. La composizione sul pentagramma è rimasta.")
                .arg(quoted(name))
                .arg(why) };
    };

    if (path.has_parent_path())
        removeStaleTemporaries(path.parent_path());

    // The whole file is read before anything is given, so a read that fails
    // half way changes nothing.
    CompositionReader reader;
    if (const auto problem = readFileInChunks(path, [&](std::string_view chunk) {
            reader.feed(chunk);
            return !reader.full();
        }))
        return fail(*problem);
    ParsedComposition parsed = reader.finish();

    if (parsed.isForeign())
        return { LoadResult::Foreign, std::nullopt,
            translate("Files", "%1 non è una composizione di Zintaro. Non è cambiato nulla.").arg(name) };
    if (parsed.unknownKey)
        return { LoadResult::UnknownNotation, std::nullopt,
            translate("Files",
                "La composizione %1 è scritta in una tonalità che questa versione di Zintaro non conosce (%2). "
                "La composizione sul pentagramma è rimasta.")
                .arg(quoted(name))
                .arg(storage::quoted(*parsed.unknownKey)) };
    if (parsed.unknownMeter)
        return { LoadResult::UnknownNotation, std::nullopt,
            translate("Files",
                "La composizione %1 è scritta in un tempo che questa versione di Zintaro non conosce (%2). "
                "La composizione sul pentagramma è rimasta.")
                .arg(quoted(name))
                .arg(storage::quoted(*parsed.unknownMeter)) };
    if (parsed.linesSkipped > 0 || parsed.truncated) {
        // Whole sentences, one for each case, so that each language can
        // say them its own way.
        const int skipped = parsed.linesSkipped;
        const char* const sentence = skipped == 0 ? QT_TRANSLATE_NOOP("Files",
                                         "La composizione %1 è stata caricata; le righe oltre il %3° elemento sono "
                                         "state lasciate fuori.")
            : skipped == 1 && !parsed.truncated   ? QT_TRANSLATE_NOOP("Files",
                    "La composizione %1 è stata caricata; 1 riga non si è potuta leggere o aveva valori fuori dalle note "
                      "e dalle durate del pianoforte, ed è stata saltata.")
            : skipped == 1                        ? QT_TRANSLATE_NOOP("Files",
                                         "La composizione %1 è stata caricata; 1 riga non si è potuta leggere o aveva valori fuori dalle "
                                                                "note e dalle durate del pianoforte, ed è stata saltata; le righe oltre il %3° elemento sono state "
                                                                "lasciate fuori.")
            : !parsed.truncated                   ? QT_TRANSLATE_NOOP("Files",
                                    "La composizione %1 è stata caricata; %2 righe non si sono potute leggere o avevano valori fuori "
                                                      "dalle note e dalle durate del pianoforte, e sono state saltate.")
                                                  : QT_TRANSLATE_NOOP("Files",
                                                      "La composizione %1 è stata caricata; %2 righe non si sono potute leggere o "
                                                                        "avevano valori fuori dalle note e dalle durate del pianoforte, e sono state "
                                                                        "saltate; le righe oltre il %3° elemento sono state lasciate fuori.");
        const Text told = translate("Files", sentence).arg(quoted(name)).arg(skipped).arg(MaxEntries);
        return { LoadResult::LoadedWithGaps, std::move(parsed), told };
    }
    return { LoadResult::Loaded, std::move(parsed), {} };
}

} // namespace zintaro::storage
