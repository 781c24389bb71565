#include "storage/log_file.h"

#include "storage/write_steps.h"

#include <fcntl.h>
#include <fstream>
#include <string>
#include <system_error>

namespace zintaro::storage {

int appendLogLine(const std::filesystem::path& file, std::string_view header, std::string_view line)
{
    WriteSteps& steps = writeSteps();
    if (file.has_parent_path()) {
        if (const int error = makeFoldersIfMissing(file.parent_path()))
            return error;
    }
    std::error_code missing;
    const auto size = std::filesystem::file_size(file, missing);
    const bool newFile = missing || size == 0;
    bool lastLineOpen = false;
    if (!newFile) {
        std::ifstream existing(file, std::ios::binary);
        existing.seekg(-1, std::ios::end);
        char last = '\n';
        lastLineOpen = existing.get(last) && last != '\n';
    }
    std::string bytes;
    if (newFile)
        (bytes += header) += '\n';
    else if (lastLineOpen)
        bytes += '\n';
    (bytes += line) += '\n';

    int fd = -1;
    if (const int error = steps.open(file, O_WRONLY | O_APPEND | O_CREAT, 0666, fd))
        return error;
    if (const int error = writeAll(fd, bytes)) {
        steps.resize(fd, newFile ? 0 : static_cast<off_t>(size));
        steps.close(fd);
        return error;
    }
    // A close that fails after every byte went in leaves the line whole:
    // it counts as written, so that nothing is written twice.
    const int closed = steps.close(fd);
    std::error_code unknown;
    if (closed != 0 && std::filesystem::file_size(file, unknown) == (newFile ? 0 : size) + bytes.size() && !unknown)
        return 0;
    return closed;
}

} // namespace zintaro::storage
