#include "storage/settings_file.h"

#include "storage/atomic_write.h"
#include "storage/write_failure.h"
#include "storage/write_steps.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <cerrno>
#include <system_error>

namespace zintaro::storage {

namespace fs = std::filesystem;

namespace {

QVariant variantOf(const SettingsValues::Value& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return QString::fromStdString(*text);
    QStringList list;
    for (const std::string& item : std::get<std::vector<std::string>>(value))
        list << QString::fromStdString(item);
    return list;
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

std::optional<std::string> settingsText(const SettingsValues& values)
{
    // Qt's settings write the file, escaping and quoting as they read it, into
    // a scratch folder of their own; the bytes are taken from there.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return std::nullopt;
    const QString path = scratch.filePath(QStringLiteral("settings.conf"));
    {
        QSettings settings(path, QSettings::IniFormat);
        for (const auto& [key, value] : values.all())
            settings.setValue(QString::fromStdString(key), variantOf(value));
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values.all().empty() ? std::optional<std::string>(std::string()) : std::nullopt;
    return file.readAll().toStdString();
}

std::optional<Text> writeSettingsFile(const fs::path& file, const SettingsValues& values)
{
    const SettingsRead before = readSettingsFile(file);
    SettingsValues merged = before.damaged ? SettingsValues {} : before.values;
    for (const auto& [key, value] : values.all())
        std::visit([&, &key = key](const auto& v) { merged.set(key, v); }, value);

    const std::optional<std::string> text = settingsText(merged);
    int error = text ? makeFoldersIfMissing(file.parent_path()) : EIO;
    if (error == 0)
        error = writeFileAtomically(file.parent_path(), file.filename().string(), *text);
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
