#include "app/remembered_choices.h"

#include "core/translation.h"

#include <QDateTime>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <utility>

namespace zintaro::app {

namespace {

QString qtPath(const std::filesystem::path& file)
{
    return QString::fromStdString(file.string());
}

std::string textOf(const QSettings& settings, const char* key)
{
    return settings.value(QString::fromLatin1(key)).toString().toStdString();
}

// Each reader leaves a missing key at its first-run value and says false for
// a value it cannot take.
bool readSwitch(const QSettings& settings, const char* key, bool& value)
{
    if (!settings.contains(QString::fromLatin1(key)))
        return true;
    const std::string text = textOf(settings, key);
    if (text != "true" && text != "false")
        return false;
    value = text == "true";
    return true;
}

bool readRangeNote(const QSettings& settings, const QString& key, Clef clef, SpelledNote& value)
{
    if (!settings.contains(key))
        return true;
    const auto note = parseSpelled(settings.value(key).toString().toStdString());
    if (!note || !compose::isRangeNote(*note, clef))
        return false;
    value = *note;
    return true;
}

// "lowest" and "highest" for the treble staff, as the first files had them;
// "bassLowest", "grandHighest" and so on for the others.
QString rangeKey(Clef clef, const char* end)
{
    QString word = QString::fromLatin1(end);
    if (clef == Clef::Treble)
        return word;
    word[0] = word[0].toUpper();
    return QString::fromUtf8(clefWord(clef).data()) + word;
}

bool readRanges(const QSettings& settings, compose::PracticeChoices& practice)
{
    for (const Clef clef : { Clef::Treble, Clef::Bass, Clef::Grand }) {
        compose::NoteRange& range = practice.ranges.at(static_cast<std::size_t>(clef));
        if (!readRangeNote(settings, rangeKey(clef, "lowest"), clef, range.lowest)
            || !readRangeNote(settings, rangeKey(clef, "highest"), clef, range.highest))
            return false;
    }
    return true;
}

// A word of a closed set: a missing key keeps the first-run value.
template<typename T>
bool readWord(const QSettings& settings, const char* key, std::optional<T> (*fromWord)(const QString&), T& value)
{
    if (!settings.contains(QString::fromLatin1(key)))
        return true;
    const std::optional<T> read = fromWord(settings.value(QString::fromLatin1(key)).toString());
    value = read.value_or(value);
    return read.has_value();
}

constexpr std::array<std::pair<compose::Drill, const char*>, 3> DrillWords { {
    { compose::Drill::Notes, "notes" },
    { compose::Drill::Intervals, "intervals" },
    { compose::Drill::Chords, "chords" },
} };

QString drillWord(compose::Drill drill)
{
    for (const auto& [value, word] : DrillWords) {
        if (value == drill)
            return QString::fromLatin1(word);
    }
    return QStringLiteral("notes");
}

std::optional<compose::Drill> drillFromWord(const QString& word)
{
    for (const auto& [value, name] : DrillWords) {
        if (word == QLatin1String(name))
            return value;
    }
    return std::nullopt;
}

std::optional<Key> keyFromWord(const QString& word)
{
    return parseKey(word.toStdString());
}

std::optional<int> levelFromWord(const QString& word)
{
    bool number = false;
    const int level = word.toInt(&number);
    if (!number || level < compose::FirstLevel || level > compose::LastLevel)
        return std::nullopt;
    return level;
}

// "Armatura", "Tutte, a caso", "Livello", "Intervalli" and "Accordi".
bool readReading(QSettings& settings, compose::PracticeChoices& practice)
{
    return readWord(settings, "key", &keyFromWord, practice.key)
        && readSwitch(settings, "randomKey", practice.randomKey)
        && readWord(settings, "level", &levelFromWord, practice.level)
        && readWord(settings, "drill", &drillFromWord, practice.drill);
}

bool readPractice(QSettings& settings, compose::PracticeChoices& practice)
{
    settings.beginGroup(QStringLiteral("practice"));
    bool good = readSwitch(settings, "review", practice.review)
        && readSwitch(settings, "accidentals", practice.accidentals) && readRanges(settings, practice);
    if (good && settings.contains(QStringLiteral("notes"))) {
        const auto filter = compose::noteFilterFromWord(textOf(settings, "notes"));
        good = filter.has_value();
        practice.filter = filter.value_or(practice.filter);
    }
    if (good && settings.contains(QStringLiteral("clef"))) {
        const auto clef = clefFromWord(textOf(settings, "clef"));
        good = clef.has_value();
        practice.clef = clef.value_or(practice.clef);
    }
    good = good && readReading(settings, practice);
    settings.endGroup();
    return good;
}

bool readOthers(QSettings& settings, RememberedChoices& choices)
{
    settings.beginGroup(QStringLiteral("interface"));
    bool good = readWord(settings, "language", &languageFromWord, choices.language)
        && readWord(settings, "noteNames", &namingFromWord, choices.naming);
    settings.endGroup();
    settings.beginGroup(QStringLiteral("trainer"));
    good = good && readSwitch(settings, "answering", choices.answering);
    settings.endGroup();
    settings.beginGroup(QStringLiteral("midi"));
    for (const QString& name : settings.value(QStringLiteral("keyboardsOff")).toStringList())
        choices.keyboardsOff.insert(name.toStdString());
    settings.endGroup();
    return good;
}

void writeOthers(QSettings& settings, const RememberedChoices& choices)
{
    settings.beginGroup(QStringLiteral("interface"));
    settings.setValue(QStringLiteral("language"), languageWord(choices.language));
    settings.setValue(QStringLiteral("noteNames"), namingWord(choices.naming));
    settings.endGroup();
    settings.beginGroup(QStringLiteral("trainer"));
    settings.setValue(QStringLiteral("answering"), choices.answering);
    settings.endGroup();
    settings.beginGroup(QStringLiteral("midi"));
    QStringList off;
    for (const std::string& name : choices.keyboardsOff)
        off << QString::fromStdString(name);
    settings.setValue(QStringLiteral("keyboardsOff"), off);
    settings.endGroup();
}

void writePractice(QSettings& settings, const compose::PracticeChoices& practice)
{
    settings.beginGroup(QStringLiteral("practice"));
    settings.setValue(QStringLiteral("review"), practice.review);
    settings.setValue(QStringLiteral("accidentals"), practice.accidentals);
    for (const Clef clef : { Clef::Treble, Clef::Bass, Clef::Grand }) {
        const compose::NoteRange& range = practice.ranges.at(static_cast<std::size_t>(clef));
        settings.setValue(rangeKey(clef, "lowest"), QString::fromStdString(spelledText(range.lowest)));
        settings.setValue(rangeKey(clef, "highest"), QString::fromStdString(spelledText(range.highest)));
    }
    settings.setValue(QStringLiteral("notes"), QString::fromUtf8(compose::noteFilterWord(practice.filter).data()));
    settings.setValue(QStringLiteral("clef"), QString::fromUtf8(clefWord(practice.clef).data()));
    settings.setValue(QStringLiteral("key"), QString::fromStdString(keyText(practice.key)));
    settings.setValue(QStringLiteral("randomKey"), practice.randomKey);
    settings.setValue(QStringLiteral("level"), practice.level);
    settings.setValue(QStringLiteral("drill"), drillWord(practice.drill));
    settings.endGroup();
}

} // namespace

LoadedChoices loadRememberedChoices(const std::filesystem::path& file)
{
    LoadedChoices loaded;
    std::error_code error;
    if (file.empty() || !std::filesystem::exists(file, error))
        return loaded;
    bool good = false;
    {
        QSettings settings(qtPath(file), QSettings::IniFormat);
        good = settings.status() == QSettings::NoError && readPractice(settings, loaded.choices.practice)
            && readOthers(settings, loaded.choices);
    }
    if (good)
        return loaded;

    loaded.choices = {};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    std::filesystem::path aside = file;
    aside += ".damaged-" + stamp.toStdString();
    std::filesystem::rename(file, aside, error);
    loaded.notice = error
        ? translate("Choices",
            "Le scelte salvate sono danneggiate e non si possono mettere da parte (%1): si usano "
            "quelle iniziali")
              .arg(file.string())
        : translate("Choices", "Le scelte salvate erano danneggiate: si riparte da quelle iniziali (il file è in %1)")
              .arg(aside.string());
    return loaded;
}

Language rememberedLanguage(const std::filesystem::path& file)
{
    std::error_code error;
    if (file.empty() || !std::filesystem::exists(file, error))
        return Language::Italian;
    const QSettings settings(qtPath(file), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return Language::Italian;
    return languageFromWord(settings.value(QStringLiteral("interface/language")).toString())
        .value_or(Language::Italian);
}

std::optional<Text> saveRememberedChoices(const std::filesystem::path& file, const RememberedChoices& choices)
{
    if (file.empty())
        return translate("Choices", "Le scelte non vengono ricordate: manca la cartella di casa");
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    QSettings settings(qtPath(file), QSettings::IniFormat);
    writePractice(settings, choices.practice);
    writeOthers(settings, choices);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return translate("Choices", "Le scelte non vengono ricordate: impossibile scrivere %1").arg(file.string());
    return std::nullopt;
}

} // namespace zintaro::app
