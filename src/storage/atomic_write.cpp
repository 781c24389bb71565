#include "storage/atomic_write.h"

#include "storage/write_steps.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zintaro::storage {

namespace {

// Hidden, and matching none of the file panel's patterns, so the panel never
// lists a temporary that a crash left behind.
int createTemporary(const std::filesystem::path& folder, std::filesystem::path& tempPath, int& fd)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder / (".saving-" + std::to_string(::getpid()) + "-" + std::to_string(attempt));
        const int error = writeSteps().open(tempPath, O_WRONLY | O_CREAT | O_EXCL, 0666, fd);
        if (error != EEXIST)
            return error;
    }
    return EEXIST;
}

void flushFolder(const std::filesystem::path& folder)
{
    int fd = -1;
    if (writeSteps().open(folder, O_RDONLY | O_DIRECTORY, 0, fd) != 0)
        return;
    writeSteps().sync(fd);
    writeSteps().close(fd);
}

} // namespace

int writeFileAtomically(
    const std::filesystem::path& folder, const std::string& fileName, std::string_view bytes, bool flush)
{
    const std::filesystem::path target = folder / fileName;
    std::filesystem::path temporary;
    int fd = -1;
    if (const int error = createTemporary(folder, temporary, fd))
        return error;
    WriteSteps& steps = writeSteps();
    const auto fail = [&](int error, bool open) {
        if (open)
            steps.close(fd);
        steps.remove(temporary);
        return error;
    };
    struct stat old { };
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        steps.setMode(fd, old.st_mode & 07777);
    if (const int error = writeAll(fd, bytes))
        return fail(error, true);
    if (flush) {
        if (const int error = steps.sync(fd))
            return fail(error, true);
    }
    // A failed close can mean the bytes never reached the disk.
    if (const int error = steps.close(fd))
        return fail(error, false);
    if (const int error = steps.rename(temporary, target))
        return fail(error, false);
    if (flush)
        flushFolder(folder);
    return 0;
}

} // namespace zintaro::storage
