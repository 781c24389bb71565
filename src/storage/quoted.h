#pragma once

#include <filesystem>
#include <string>

namespace zintaro::storage {

// A name in double quotes, as the program's messages show file names. Built
// by appending: g++ 12 warns falsely about a quote put in front of a string
// with operator+ when it optimises.
inline std::string quoted(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

inline std::string quoted(const std::filesystem::path& path)
{
    return quoted(path.string());
}

} // namespace zintaro::storage
