#pragma once

#include "core/modulo1.h"
#include "storage/composition_file.h"
#include "storage/export_file.h"
#include "support/scripted_dialogs.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace zintaro::testing {

// Storage calls whose words, when they have any, are shown as the window
// would show them: the tests read what a user would be told.
inline storage::SaveResult saveTelling(const Modulo1& m, const std::filesystem::path& folder, const std::string& name,
    ScriptedDialogs& told, storage::SaveOptions options = {})
{
    auto outcome = storage::saveComposition(m, folder, name, options);
    if (!outcome.text.empty())
        told.message(outcome.text);
    return outcome.result;
}

inline std::optional<storage::ParsedComposition> loadTelling(const std::filesystem::path& path, ScriptedDialogs& told)
{
    auto outcome = storage::loadComposition(path);
    if (!outcome.text.empty())
        told.message(outcome.text);
    return std::move(outcome.piece);
}

inline storage::ExportResult exportTelling(const std::filesystem::path& folder, const std::string& name,
    std::string_view extension, std::string_view bytes, ScriptedDialogs& told)
{
    auto outcome = storage::exportFile(folder, name, extension, bytes);
    if (!outcome.text.empty())
        told.message(outcome.text);
    return outcome.result;
}

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

// The names in a folder, sorted.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
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
