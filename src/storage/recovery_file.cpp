#include "storage/recovery_file.h"

#include "storage/atomic_write.h"
#include "storage/system_reason.h"
#include "storage/write_failure.h"
#include "storage/write_steps.h"

#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

namespace zintaro::storage {

namespace fs = std::filesystem;

RecoveryRead readRecoveryFile(const fs::path& file)
{
    RecoveryRead found;
    std::error_code error;
    if (file.empty() || !fs::is_regular_file(file, error))
        return found;
    std::ifstream in(file, std::ios::binary);
    const std::string bytes { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    auto parsed = readCompositionText(bytes);
    // The program writes the file whole, through the atomic writer: anything
    // less than every line read and the end line last is not its own.
    if (parsed.endLineFound && parsed.linesSkipped == 0 && !parsed.truncated) {
        found.piece = std::move(parsed);
        return found;
    }
    found.damaged = true;
    const auto stamp
        = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    const std::string name = "recovery-damaged-" + std::to_string(stamp);
    fs::path aside = file.parent_path() / (name + ".txt");
    for (int copy = 2; fs::exists(aside, error) && copy < 1000; ++copy)
        aside = file.parent_path() / (name + "-" + std::to_string(copy) + ".txt");
    if (writeSteps().rename(file, aside) == 0)
        found.setAside = aside;
    return found;
}

std::optional<Text> writeRecoveryFile(const fs::path& file, const std::optional<std::string>& text)
{
    WriteSteps& steps = writeSteps();
    if (!text) {
        if (const int error = steps.remove(file); error != 0 && error != ENOENT)
            return systemReason(error);
        return std::nullopt;
    }
    if (const int error = makeFoldersIfMissing(file.parent_path()))
        return writeFailureText(WrittenFile::RecoveryCopy, error);
    if (const int error = writeFileAtomically(file.parent_path(), file.filename().string(), *text))
        return writeFailureText(WrittenFile::RecoveryCopy, error);
    return std::nullopt;
}

} // namespace zintaro::storage
