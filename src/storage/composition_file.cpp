#include "storage/composition_file.h"

#include "storage/atomic_write.h"
#include "storage/composition_format.h"
#include "storage/file_descriptor.h"
#include "storage/quoted.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace zintaro::storage {

namespace {

// The common limit of a file name's length in bytes on Linux file systems.
constexpr long FallbackNameMax = 255;

std::string reason(int error)
{
    return std::strerror(error);
}

// The temporaries of saving (see atomic_write.h): ".saving-PID-N".
constexpr std::string_view TemporaryPrefix = ".saving-";

bool isRunning(long pid)
{
    // EPERM: the process exists but belongs to someone else.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string linesText(int count)
{
    return count == 1 ? "1 line" : std::to_string(count) + " lines";
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

std::optional<std::string> fileNameProblem(const std::string& baseName, std::string_view extension)
{
    if (baseName.empty())
        return "Type a name for the composition first.";
    if (baseName == "." || baseName == "..")
        return quoted(baseName) + " cannot be the name of a composition.";
    for (const char c : baseName) {
        if (c == '/' || c == '\\')
            return "A composition's name cannot contain \"/\" or \"\\\": compositions are kept in the files "
                   "folder only.";
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return "A composition's name cannot contain control characters.";
    }
    if (static_cast<long>(baseName.size() + extension.size()) > FallbackNameMax)
        return "The name is too long: it can have at most "
            + std::to_string(FallbackNameMax - static_cast<long>(extension.size())) + " bytes.";
    return std::nullopt;
}

std::optional<std::string> ensureFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error) && !error)
        error = std::make_error_code(std::errc::not_a_directory);
    if (error)
        return "The folder " + quoted(folder) + " could not be created: " + error.message() + ".";
    return std::nullopt;
}

SaveOutcome saveComposition(
    const Modulo1& m, const std::filesystem::path& folder, const std::string& baseName, SaveOptions options)
{
    if (const auto problem = fileNameProblem(baseName))
        return { SaveResult::NameRefused, *problem + " Nothing was saved." };
    if (const auto problem = ensureFolder(folder))
        return { SaveResult::Failed, *problem + " Nothing was saved." };

    removeStaleTemporaries(folder);

    const std::string fileName = baseName + std::string(FileExtension);
    const std::string text = writeCompositionText(m.Composition, m.NoteCount);
    if (const auto why = writeFileAtomically(folder, fileName, text, options.flush))
        return { SaveResult::Failed,
            "The composition could not be saved to " + quoted(folder / fileName) + ": " + *why
                + ". Nothing was changed." };
    return {};
}

LoadOutcome loadComposition(const std::filesystem::path& path)
{
    // A name that is not valid UTF-8 is shown with replacement characters.
    const std::string name = path.filename().string();
    const auto fail = [&](const std::string& why) -> LoadOutcome {
        return { LoadResult::Unreadable, std::nullopt,
            "The composition " + quoted(name) + " could not be loaded: " + why
                + ". The composition on the staff was kept." };
    };

    if (path.has_parent_path())
        removeStaleTemporaries(path.parent_path());

    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return fail(reason(errno));
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0)
        return fail(reason(errno));
    if (S_ISDIR(info.st_mode))
        return fail(reason(EISDIR));
    if (!S_ISREG(info.st_mode))
        return fail("it is not a regular file");

    // The whole file is read before anything is given, so a read that fails
    // half way changes nothing.
    CompositionReader reader;
    std::array<char, 64 * 1024> chunk {};
    while (!reader.full()) {
        const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return fail(reason(errno));
        }
        if (got == 0)
            break;
        reader.feed(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
    }
    ParsedComposition parsed = reader.finish();

    if (parsed.isForeign())
        return { LoadResult::Foreign, std::nullopt, name + " is not a Zintaro composition. Nothing was changed." };
    if (parsed.linesSkipped > 0 || parsed.truncated) {
        std::string told = "The composition " + quoted(name) + " was loaded";
        if (parsed.linesSkipped > 0)
            told += "; " + linesText(parsed.linesSkipped)
                + " could not be read or held values outside the piano's "
                  "notes and durations, and "
                + (parsed.linesSkipped == 1 ? "was" : "were") + " skipped";
        if (parsed.truncated)
            told += "; the lines past the " + std::to_string(MaxEntries) + "th entry were left out";
        return { LoadResult::LoadedWithGaps, std::move(parsed), told + "." };
    }
    return { LoadResult::Loaded, std::move(parsed), {} };
}

} // namespace zintaro::storage
