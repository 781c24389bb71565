#include "storage/write_steps.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace zintaro::storage {

namespace {

WriteSteps diskSteps;
std::atomic<WriteSteps*> stepsInUse { &diskSteps };

int result(int returned)
{
    return returned == 0 ? 0 : errno;
}

} // namespace

int WriteSteps::open(const std::filesystem::path& file, int flags, mode_t mode, int& fd)
{
    fd = ::open(file.c_str(), flags | O_CLOEXEC, mode);
    return fd >= 0 ? 0 : errno;
}

int WriteSteps::write(int fd, std::string_view bytes, std::size_t& written)
{
    for (;;) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done >= 0) {
            written = static_cast<std::size_t>(done);
            return 0;
        }
        if (errno != EINTR)
            return errno;
    }
}

int WriteSteps::sync(int fd)
{
    return result(::fsync(fd));
}

int WriteSteps::close(int fd)
{
    return result(::close(fd));
}

int WriteSteps::setMode(int fd, mode_t mode)
{
    return result(::fchmod(fd, mode));
}

int WriteSteps::resize(int fd, off_t size)
{
    return result(::ftruncate(fd, size));
}

int WriteSteps::rename(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return result(::rename(from.c_str(), to.c_str()));
}

int WriteSteps::link(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return result(::link(from.c_str(), to.c_str()));
}

int WriteSteps::remove(const std::filesystem::path& file)
{
    return result(::unlink(file.c_str()));
}

int WriteSteps::makeFolders(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error) && !error)
        error = std::make_error_code(std::errc::not_a_directory);
    return error.value();
}

WriteSteps& writeSteps()
{
    return *stepsInUse.load();
}

UseWriteSteps::UseWriteSteps(WriteSteps& steps)
    : m_before(stepsInUse.exchange(&steps))
{
}

UseWriteSteps::~UseWriteSteps()
{
    stepsInUse.store(m_before);
}

int makeFoldersIfMissing(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(folder, error) ? 0 : writeSteps().makeFolders(folder);
}

int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        std::size_t written = 0;
        if (const int error = writeSteps().write(fd, bytes, written))
            return error;
        if (written == 0)
            return EIO;
        bytes.remove_prefix(written);
    }
    return 0;
}

} // namespace zintaro::storage
