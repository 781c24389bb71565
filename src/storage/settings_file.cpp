#include "storage/settings_file.h"

#include "storage/atomic_write.h"
#include "storage/write_failure.h"
#include "storage/write_steps.h"

#include <QDateTime>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cctype>
#include <system_error>
#include <utility>

namespace zintaro::storage {

namespace fs = std::filesystem;

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

bool isHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// A key as Qt's settings write it: "/" as "\", the rest of what is not a
// letter, a digit, "_", "-" or "." as %XX, or %UXXXX past Latin-1.
void appendKey(std::string_view key, std::string& out)
{
    for (const QChar c : QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()))) {
        const char16_t ch = c.unicode();
        if (ch == u'/') {
            out += '\\';
        } else if (ch < 0x80 && (std::isalnum(ch) != 0 || ch == u'_' || ch == u'-' || ch == u'.')) {
            out += static_cast<char>(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            out += HexDigits[ch / 16];
            out += HexDigits[ch % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += HexDigits[(ch >> shift) & 0xF];
        }
    }
}

// One text as Qt's settings write it: a leading "@" doubled, control
// characters and quotes escaped, and the whole in quotes when it holds a
// separator or starts or ends with a space.
void appendText(std::string_view text, std::string& out)
{
    const std::size_t start = out.size();
    if (text.starts_with('@'))
        out += '@';
    bool quote = false;
    bool escapeHexDigit = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        quote = quote || c == ';' || c == ',' || c == '=';
        // After \x1 a digit would read as part of the number.
        if (escapeHexDigit && isHexDigit(c)) {
            out += "\\x";
            out += QByteArray::number(byte, 16).toStdString();
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case '\0':
            out += "\\0";
            escapeHexDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            (out += '\\') += c;
            break;
        default:
            if (byte <= 0x1F) {
                out += "\\x";
                out += QByteArray::number(byte, 16).toStdString();
                escapeHexDigit = true;
            } else {
                out += c;
            }
        }
    }
    if (quote || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(start, 1, '"');
        out += '"';
    }
}

// The group a key is written under (empty for none) and the rest of it.
// Qt reads a section named "general" in any case but its own as no group,
// so such a group stays whole in the key, under "General".
std::pair<std::string_view, std::string_view> groupAndName(std::string_view key)
{
    const std::size_t slash = key.find('/');
    if (slash == std::string_view::npos)
        return { {}, key };
    const std::string_view group = key.substr(0, slash);
    if (group != "General"
        && QString::fromUtf8(group.data(), static_cast<qsizetype>(group.size()))
                .compare(u"general", Qt::CaseInsensitive)
            == 0)
        return { {}, key };
    return { group, key.substr(slash + 1) };
}

void appendValue(const SettingsValues::Value& value, std::string& out)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return appendText(*text, out);
    const auto& list = std::get<std::vector<std::string>>(value);
    // An empty list reads back as nothing, which is an empty list.
    if (list.empty())
        out += "@Invalid()";
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0)
            out += ", ";
        appendText(list[i], out);
    }
}

} // namespace

std::optional<std::string> SettingsValues::text(std::string_view key) const
{
    const auto found = m_values.find(key);
    if (found == m_values.end() || !std::holds_alternative<std::string>(found->second))
        return std::nullopt;
    return std::get<std::string>(found->second);
}

std::vector<std::string> SettingsValues::list(std::string_view key) const
{
    const auto found = m_values.find(key);
    if (found == m_values.end())
        return {};
    if (const auto* text = std::get_if<std::string>(&found->second))
        return { *text };
    return std::get<std::vector<std::string>>(found->second);
}

SettingsRead readSettingsFile(const fs::path& file)
{
    SettingsRead read;
    std::error_code error;
    if (file.empty() || !fs::exists(file, error))
        return read;
    const QSettings settings(QString::fromStdString(file.string()), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        read.damaged = true;
        return read;
    }
    for (const QString& key : settings.allKeys()) {
        // A key of a hand-edited file with an empty part ("\key", "key\",
        // "a\\b"): Qt lists it but looks every key up without empty parts,
        // so its value cannot be had; no version of the program wrote it.
        if (key.startsWith(u'/') || key.endsWith(u'/') || key.contains(QStringLiteral("//")))
            continue;
        const QVariant value = settings.value(key);
        if (value.isValid() && value.typeId() != QMetaType::QStringList) {
            read.values.set(key.toStdString(), value.toString().toStdString());
            continue;
        }
        std::vector<std::string> list;
        for (const QString& item : value.toStringList())
            list.push_back(item.toStdString());
        read.values.set(key.toStdString(), std::move(list));
    }
    return read;
}

std::string settingsText(const SettingsValues& values)
{
    // By group; the keys without one come first, under "General", and a
    // group of that name is "%General", as in Qt's settings.
    std::map<std::string, std::string> sections;
    for (const auto& [key, value] : values.all()) {
        const auto [group, name] = groupAndName(key);
        std::string& lines = sections[std::string(group)];
        appendKey(name, lines);
        lines += '=';
        appendValue(value, lines);
        lines += '\n';
    }
    std::string text;
    for (const auto& [group, lines] : sections) {
        if (!text.empty())
            text += '\n';
        text += '[';
        if (group.empty())
            text += "General";
        else if (group == "General")
            text += "%General";
        else
            appendKey(group, text);
        (text += "]\n") += lines;
    }
    return text;
}

std::optional<Text> writeSettingsFile(const fs::path& file, const SettingsValues& values)
{
    const SettingsRead before = readSettingsFile(file);
    SettingsValues merged = before.damaged ? SettingsValues {} : before.values;
    for (const auto& [key, value] : values.all())
        std::visit([&, &key = key](const auto& v) { merged.set(key, v); }, value);

    int error = makeFoldersIfMissing(file.parent_path());
    if (error == 0)
        error = writeFileAtomically(file.parent_path(), file.filename().string(), settingsText(merged));
    if (error != 0)
        return writeFailureText(WrittenFile::Settings, error);
    return std::nullopt;
}

Text setSettingsFileAside(const fs::path& file)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    fs::path aside = file;
    aside += ".damaged-" + stamp.toStdString();
    std::error_code error;
    for (int copy = 2; fs::exists(aside, error) && copy < 1000; ++copy) {
        aside = file;
        aside += ".damaged-" + stamp.toStdString() + "-" + std::to_string(copy);
    }
    if (writeSteps().rename(file, aside) != 0)
        return translate("Choices",
            "Le scelte salvate sono danneggiate e non si possono mettere da parte (%1): si usano "
            "quelle iniziali")
            .arg(file.string());
    return translate("Choices", "Le scelte salvate erano danneggiate: si riparte da quelle iniziali (il file è in %1)")
        .arg(aside.string());
}

} // namespace zintaro::storage
