#include "app/remembered_choices.h"

#include "core/translation.h"
#include "storage/settings_file.h"

#include <QString>
#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace zintaro::app {

namespace {

using storage::SettingsValues;

std::string_view switchWord(bool on)
{
    return on ? "true" : "false";
}

std::optional<bool> switchFromWord(std::string_view word)
{
    if (word != "true" && word != "false")
        return std::nullopt;
    return word == "true";
}

std::string plainText(std::string_view word)
{
    return std::string(word);
}

std::string plainText(const QString& word)
{
    return word.toStdString();
}

// A whole number from the lowest to the highest allowed, as the file keeps it.
std::optional<int> numberFromWord(std::string_view word, int lowest, int highest)
{
    int number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (error != std::errc {} || end != word.data() + word.size() || number < lowest || number > highest)
        return std::nullopt;
    return number;
}

std::string_view instrumentWord(compose::PlayedInstrument instrument)
{
    return compose::infoOf(instrument).word;
}

std::string tuningWord(int hertz)
{
    return std::to_string(hertz);
}

std::optional<int> tuningFromWord(std::string_view word)
{
    return numberFromWord(word, compose::LowestTuningHz, compose::HighestTuningHz);
}

constexpr std::array<std::pair<compose::Drill, std::string_view>, 3> DrillWords { {
    { compose::Drill::Notes, "notes" },
    { compose::Drill::Intervals, "intervals" },
    { compose::Drill::Chords, "chords" },
} };

std::string_view drillWord(compose::Drill drill)
{
    for (const auto& [value, word] : DrillWords) {
        if (value == drill)
            return word;
    }
    return "notes";
}

std::optional<compose::Drill> drillFromWord(std::string_view word)
{
    for (const auto& [value, name] : DrillWords) {
        if (word == name)
            return value;
    }
    return std::nullopt;
}

std::string levelWord(int level)
{
    return std::to_string(level);
}

std::optional<int> levelFromWord(std::string_view word)
{
    return numberFromWord(word, compose::FirstLevel, compose::LastLevel);
}

std::string delayWord(int ms)
{
    return std::to_string(ms);
}

std::optional<int> delayFromWord(std::string_view word)
{
    if (!word.empty() && word.front() == '-') {
        const auto late = numberFromWord(word.substr(1), 0, compose::LargestDelayCorrectionMs);
        return late ? std::optional<int>(-*late) : std::nullopt;
    }
    return numberFromWord(word, 0, compose::LargestDelayCorrectionMs);
}

// "lowest" and "highest" for the treble staff, as the first files had them;
// "bassLowest", "grandHighest" and so on for the others.
std::string rangeKey(Clef clef, std::string end)
{
    if (clef == Clef::Treble)
        return "practice/" + end;
    end[0] = static_cast<char>(end[0] - 'a' + 'A');
    return "practice/" + std::string(clefWord(clef)) + end;
}

// Reads the choices from the file's values: a missing key keeps the
// first-run value; a value out of its range makes the file damaged.
class ChoiceReader {
public:
    explicit ChoiceReader(const SettingsValues& values)
        : m_values(values)
    {
    }

    bool good() const { return m_good; }

    template<typename T, typename ToWord, typename FromWord>
    void word(const std::string& key, T& value, ToWord /*toWord*/, FromWord fromWord)
    {
        if (!m_values.contains(key))
            return;
        const std::optional<std::string> text = m_values.text(key);
        std::optional<T> read;
        if (text) {
            if constexpr (std::is_invocable_v<FromWord, std::string_view>)
                read = fromWord(*text);
            else
                read = fromWord(QString::fromStdString(*text));
        }
        m_good = m_good && read.has_value();
        value = read.value_or(value);
    }

    void names(const std::string& key, std::set<std::string>& value)
    {
        for (std::string& name : m_values.list(key))
            value.insert(std::move(name));
    }

private:
    const SettingsValues& m_values;
    bool m_good = true;
};

class ChoiceWriter {
public:
    const SettingsValues& values() const { return m_values; }

    template<typename T, typename ToWord, typename FromWord>
    void word(const std::string& key, const T& value, ToWord toWord, FromWord /*fromWord*/)
    {
        m_values.set(key, plainText(toWord(value)));
    }

    void names(const std::string& key, const std::set<std::string>& value)
    {
        m_values.set(key, std::vector<std::string>(value.begin(), value.end()));
    }

private:
    SettingsValues m_values;
};

// Which key of the file holds which choice, in which words: one line a
// choice, for reading and writing alike.
template<typename Map, typename Choices> void mapChoices(Map& map, Choices& choices)
{
    auto& practice = choices.practice;
    map.word("practice/review", practice.review, switchWord, switchFromWord);
    map.word("practice/accidentals", practice.accidentals, switchWord, switchFromWord);
    for (const Clef clef : { Clef::Treble, Clef::Bass, Clef::Grand }) {
        auto& range = practice.ranges.at(static_cast<std::size_t>(clef));
        const auto rangeNote = [clef](std::string_view word) {
            const auto note = parseSpelled(word);
            return note && compose::isRangeNote(*note, clef) ? note : std::nullopt;
        };
        map.word(rangeKey(clef, "lowest"), range.lowest, spelledText, rangeNote);
        map.word(rangeKey(clef, "highest"), range.highest, spelledText, rangeNote);
    }
    map.word("practice/notes", practice.filter, compose::noteFilterWord, compose::noteFilterFromWord);
    map.word("practice/clef", practice.clef, clefWord, clefFromWord);
    map.word("practice/key", practice.key, keyText, parseKey);
    map.word("practice/randomKey", practice.randomKey, switchWord, switchFromWord);
    map.word("practice/level", practice.level, levelWord, levelFromWord);
    map.word("practice/drill", practice.drill, drillWord, drillFromWord);
    map.word("practice/inTime", practice.inTime, switchWord, switchFromWord);
    map.word("practice/fromPiece", practice.fromPiece, switchWord, switchFromWord);
    map.word("practice/metronome", practice.metronome, switchWord, switchFromWord);
    map.word("practice/delayMs", practice.delayCorrectionMs, delayWord, delayFromWord);
    map.word("interface/language", choices.language, languageWord, languageFromWord);
    map.word("interface/noteNames", choices.naming, namingWord, namingFromWord);
    map.word("trainer/answering", choices.answering, switchWord, switchFromWord);
    map.names("midi/keyboardsOff", choices.keyboardsOff);
    map.word("input/microphone", choices.listening.microphone, switchWord, switchFromWord);
    map.word("input/instrument", choices.listening.instrument, instrumentWord, compose::playedInstrumentFromWord);
    map.word("input/tuning", choices.listening.tuningHz, tuningWord, tuningFromWord);
    map.word(
        "certificate/student", choices.student, [](const std::string& name) { return name; },
        [](std::string_view name) { return std::optional<std::string>(name); });
}

} // namespace

LoadedChoices loadRememberedChoices(const std::filesystem::path& file)
{
    LoadedChoices loaded;
    const storage::SettingsRead read = storage::readSettingsFile(file);
    ChoiceReader reader(read.values);
    mapChoices(reader, loaded.choices);
    if (!read.damaged && reader.good())
        return loaded;
    loaded.choices = {};
    loaded.notice = storage::setSettingsFileAside(file);
    return loaded;
}

Language rememberedLanguage(const std::filesystem::path& file)
{
    const storage::SettingsRead read = storage::readSettingsFile(file);
    const auto word = read.values.text("interface/language");
    if (read.damaged || !word)
        return Language::Italian;
    return languageFromWord(QString::fromStdString(*word)).value_or(Language::Italian);
}

std::optional<Text> saveRememberedChoices(const std::filesystem::path& file, const RememberedChoices& choices)
{
    if (file.empty())
        return translate("Choices", "Le scelte non vengono ricordate: manca la cartella di casa");
    ChoiceWriter writer;
    mapChoices(writer, choices);
    return storage::writeSettingsFile(file, writer.values());
}

} // namespace zintaro::app
