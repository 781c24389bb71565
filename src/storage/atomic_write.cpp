#include "storage/atomic_write.h"

#include "storage/file_descriptor.h"
#include "storage/system_reason.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zintaro::storage {

namespace {

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Hidden, and matching none of the file panel's patterns, so the panel never
// lists a temporary that a crash left behind.
int createTemporary(const std::filesystem::path& folder, std::filesystem::path& tempPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder / (".saving-" + std::to_string(::getpid()) + "-" + std::to_string(attempt));
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void flushFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::optional<Text> writeFileAtomically(
    const std::filesystem::path& folder, const std::string& fileName, std::string_view bytes, bool flush)
{
    const std::filesystem::path target = folder / fileName;
    std::filesystem::path temporary;
    Descriptor fd(createTemporary(folder, temporary));
    if (fd.get() < 0)
        return systemReason(errno);

    const auto fail = [&temporary](int error) -> std::optional<Text> {
        ::unlink(temporary.c_str());
        return systemReason(error);
    };

    struct stat old { };
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd.get(), old.st_mode & 07777);

    if (!writeAll(fd.get(), bytes))
        return fail(errno);
    if (flush && ::fsync(fd.get()) != 0)
        return fail(errno);
    if (!fd.close())
        return fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail(errno);
    if (flush)
        flushFolder(folder);
    return std::nullopt;
}

} // namespace zintaro::storage
