#pragma once

#include <filesystem>
#include <string_view>
#include <sys/types.h>

namespace zintaro::storage {

// The steps every write of the program takes on the disk, behind one face.
// The program takes them on the disk itself; a test puts in steps of its own
// to fail one as a full disk, a read-only folder or an I/O error would, to
// write less than asked, or to stop between two steps as a crash would.
// Each step gives 0, or the system's error number when it failed.
class WriteSteps {
public:
    virtual ~WriteSteps() = default;

    // open(2) with O_CLOEXEC added.
    virtual int open(const std::filesystem::path& file, int flags, mode_t mode, int& fd);
    // One write(2): `written` may come back shorter than the bytes.
    virtual int write(int fd, std::string_view bytes, std::size_t& written);
    virtual int sync(int fd);
    virtual int close(int fd);
    virtual int setMode(int fd, mode_t mode);
    // Cuts the file back to `size` bytes.
    virtual int resize(int fd, off_t size);
    virtual int rename(const std::filesystem::path& from, const std::filesystem::path& to);
    // A second name for a file; fails when the name is taken.
    virtual int link(const std::filesystem::path& from, const std::filesystem::path& to);
    virtual int remove(const std::filesystem::path& file);
    // The folder and its missing parents.
    virtual int makeFolders(const std::filesystem::path& folder);
};

// The steps in use: the disk's own unless a test put others in.
WriteSteps& writeSteps();

// Puts other steps in use while it lives; for tests, which put them in
// before the writes they watch begin.
class UseWriteSteps {
public:
    explicit UseWriteSteps(WriteSteps& steps);
    ~UseWriteSteps();
    UseWriteSteps(const UseWriteSteps&) = delete;
    UseWriteSteps& operator=(const UseWriteSteps&) = delete;

private:
    WriteSteps* m_before;
};

// Makes the folder and its missing parents through the steps in use, unless
// it is a folder already; 0 or the step's error.
int makeFoldersIfMissing(const std::filesystem::path& folder);

// Writes all the bytes, one step after another; 0 or the error of the step
// that failed (a step that writes nothing at all counts as an I/O error).
int writeAll(int fd, std::string_view bytes);

} // namespace zintaro::storage
