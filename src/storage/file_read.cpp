#include "storage/file_read.h"

#include "storage/file_descriptor.h"
#include "storage/system_reason.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zintaro::storage {

std::optional<Text> readFileInChunks(
    const std::filesystem::path& path, const std::function<bool(std::string_view)>& take, std::size_t maxBytes)
{
    // Non-blocking, so that a named pipe put in place of a file does not
    // hang the open; it is refused below as no plain file.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return systemReason(errno);
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0)
        return systemReason(errno);
    if (S_ISDIR(info.st_mode))
        return systemReason(EISDIR);
    if (!S_ISREG(info.st_mode))
        return translate("Files", "non è un file normale");
    if (static_cast<unsigned long long>(info.st_size) > maxBytes)
        return translate("Files", "il file è troppo grande (più di %1 MB)").arg(static_cast<long long>(maxBytes >> 20));

    std::array<char, 64 * 1024> chunk {};
    std::size_t total = 0;
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return systemReason(errno);
        }
        if (got == 0)
            return std::nullopt;
        // The file may have grown since it was measured.
        total += static_cast<std::size_t>(got);
        if (total > maxBytes)
            return translate("Files", "il file è troppo grande (più di %1 MB)")
                .arg(static_cast<long long>(maxBytes >> 20));
        if (!take(std::string_view(chunk.data(), static_cast<std::size_t>(got))))
            return std::nullopt;
    }
}

FileBytes readWholeFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    FileBytes file;
    file.problem = readFileInChunks(
        path,
        [&](std::string_view chunk) {
            file.bytes.append(chunk);
            return true;
        },
        maxBytes);
    if (file.problem)
        file.bytes.clear();
    return file;
}

} // namespace zintaro::storage
