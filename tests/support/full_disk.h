#pragma once

#include "storage/write_steps.h"

#include <atomic>
#include <cerrno>

namespace zintaro::testing {

// The disk's own write steps, put in use while it lives; while `full` is set,
// every write of bytes fails as on a full disk. The program's writer threads
// may take steps while a test fills or frees it.
class FullDisk : public storage::WriteSteps {
public:
    FullDisk() = default;

    int write(int fd, std::string_view bytes, std::size_t& written) override
    {
        return full ? ENOSPC : WriteSteps::write(fd, bytes, written);
    }

    std::atomic<bool> full { false };

private:
    storage::UseWriteSteps m_use { *this };
};

} // namespace zintaro::testing
