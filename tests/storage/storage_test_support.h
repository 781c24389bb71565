#pragma once

#include "core/modulo1.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace zintaro::testing {

inline std::filesystem::path compositionsData()
{
    const char* fromCtest = std::getenv("ZINTARO_TEST_DATA");
    const std::filesystem::path data = fromCtest ? fromCtest : ZINTARO_SOURCE_TEST_DATA;
    return data / "compositions";
}

inline std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A folder of its own for every test, removed afterwards.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "storage-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no temporary folder");
        m_path = pattern;
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// A piece appended the way note entry stores it, the end marker after it.
inline void fillPiece(Modulo1& m, int count, Entry (*entryAt)(int))
{
    for (int i = 0; i < count; ++i)
        m.Composition.set(i, entryAt(i));
    m.Composition.set(count, EndEntry);
    m.NoteCount = count;
    m.WriteIndex = static_cast<int16_t>(count);
}

} // namespace zintaro::testing
