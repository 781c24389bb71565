#pragma once

#include "core/translation.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zintaro::storage {

// The values of the settings file by "group/key", each a text or a list of
// texts. The file reads a list of one as a text, so list() takes either.
class SettingsValues {
public:
    bool contains(std::string_view key) const { return m_values.find(key) != m_values.end(); }
    // Nothing for a missing key or a list.
    std::optional<std::string> text(std::string_view key) const;
    // Empty for a missing key.
    std::vector<std::string> list(std::string_view key) const;

    void set(const std::string& key, std::string text) { m_values[key] = std::move(text); }
    void set(const std::string& key, std::vector<std::string> list) { m_values[key] = std::move(list); }

    using Value = std::variant<std::string, std::vector<std::string>>;
    const std::map<std::string, Value, std::less<>>& all() const { return m_values; }

    friend bool operator==(const SettingsValues&, const SettingsValues&) = default;

private:
    std::map<std::string, Value, std::less<>> m_values;
};

struct SettingsRead {
    SettingsValues values;
    bool damaged = false; // a file was there that cannot be read as settings
};

// Reads the settings file, an INI file as Qt's settings write it. A missing
// file, or an empty path, gives no values and no damage.
SettingsRead readSettingsFile(const std::filesystem::path& file);

// The file's bytes for these values: one [group] a section, keys without a
// group under [General], values escaped and quoted as Qt's settings do.
std::string settingsText(const SettingsValues& values);

// Writes `values` into the file through the atomic writer, keeping the keys
// the file holds that `values` does not name; the folder is made when
// missing. Gives the sentence for the user when that failed.
std::optional<Text> writeSettingsFile(const std::filesystem::path& file, const SettingsValues& values);

// Renames a damaged settings file aside (zintaro.conf.damaged-YYYYMMDD-HHMMSS),
// so the next save does not build on it; the sentence for the user, which
// says where it went or that it could not be moved.
Text setSettingsFileAside(const std::filesystem::path& file);

} // namespace zintaro::storage
