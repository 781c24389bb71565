#include "storage/exercise_file.h"

#include "storage/atomic_write.h"
#include "storage/file_read.h"
#include "storage/quoted.h"
#include "storage/write_failure.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>
#include <utility>

namespace zintaro::storage {

namespace {

constexpr std::string_view Signature = "Zintaro exercise ";
constexpr int FormatVersion = 1;
constexpr std::string_view PieceKey = "piece";
constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view SingleNotesWords = "single notes";
constexpr std::string_view InTimeWords = "in time";

// A setting that is a number, where it lives and the values it takes.
struct NumberSetting {
    std::string_view key;
    int ExerciseSettings::*field;
    int lowest;
    int highest;
};
constexpr std::array<NumberSetting, 4> NumberSettings { {
    { "tempo", &ExerciseSettings::tempo, LowestExerciseTempo, HighestExerciseTempo },
    { "pass mark", &ExerciseSettings::passMark, 0, 100 },
    { "repeats", &ExerciseSettings::repeats, 0, MostRepeats },
    { "count-in", &ExerciseSettings::countIn, 0, MostCountInMeasures },
} };

// One "key: line" for each line of the text; nothing for an empty text.
// Any line end in the text (CR LF, CR or LF) ends one of its lines.
void putText(std::string& out, std::string_view key, std::string_view text)
{
    if (text.empty())
        return;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\r' && text[i] != '\n')
            continue;
        out.append(key).append(": ").append(text.substr(start, i - start)).append(LineEnd);
        if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
}

// The next line of the bytes, without its end (CR LF, LF or CR), and moves past it.
std::string_view takeLine(std::string_view& bytes)
{
    const std::size_t end = bytes.find_first_of("\r\n");
    const std::string_view line = bytes.substr(0, end);
    if (end == std::string_view::npos) {
        bytes = {};
        return line;
    }
    const std::size_t next = bytes.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    bytes.remove_prefix(next);
    return line;
}

std::optional<int> wholeNumber(std::string_view words)
{
    int value = 0;
    const char* end = words.data() + words.size();
    if (const auto r = std::from_chars(words.data(), end, value); r.ec != std::errc() || r.ptr != end)
        return std::nullopt;
    return value;
}

ExerciseReading refusal(const Text& why)
{
    return { std::nullopt, why };
}

} // namespace

std::string writeExerciseText(const ExerciseSettings& settings, const Modulo1& piece)
{
    std::string out(Signature);
    out.append(std::to_string(FormatVersion)).append(LineEnd);
    putText(out, "title", settings.title);
    putText(out, "instructions", settings.instructions);
    // A value out of its range is written as the nearest one the reader takes.
    const auto putNumber = [&](const NumberSetting& n) {
        const int value = std::clamp(settings.*n.field, n.lowest, n.highest);
        out.append(n.key).append(": ").append(std::to_string(value)).append(LineEnd);
    };
    putNumber(NumberSettings[0]);
    out.append("mode: ").append(settings.mode == ExerciseMode::InTime ? InTimeWords : SingleNotesWords).append(LineEnd);
    std::for_each(NumberSettings.begin() + 1, NumberSettings.end(), putNumber);
    out.append(PieceKey).append(":").append(LineEnd);
    out.append(writeCompositionText(piece.Composition, piece.NoteCount, piece.PieceKey, piece.PieceMeter));
    return out;
}

ExerciseReading readExerciseText(std::string_view bytes)
{
    if (bytes.starts_with(ByteOrderMark))
        bytes.remove_prefix(ByteOrderMark.size());
    const std::string_view first = takeLine(bytes);
    if (!first.starts_with(Signature))
        return refusal(translate("Exercise", "non è un esercizio di Zintaro"));
    const std::optional<int> version = wholeNumber(first.substr(Signature.size()));
    if (!version || *version < 1)
        return refusal(translate("Exercise", "non è un esercizio di Zintaro"));
    if (*version > FormatVersion)
        return refusal(translate("Exercise", "è stato scritto da una versione più recente di Zintaro"));

    ParsedExercise exercise;
    // A text of several lines gives its key on each line.
    bool titleSeen = false;
    bool instructionsSeen = false;
    std::array<bool, NumberSettings.size()> numberSeen {};
    bool modeSeen = false;
    for (int lineNumber = 2; !bytes.empty(); ++lineNumber) {
        const std::string_view line = takeLine(bytes);
        if (line.empty())
            continue;
        const std::size_t colon = line.find(':');
        const Text notUnderstood
            = translate("Exercise", "la riga %1 non si capisce: %2").arg(lineNumber).arg(quoted(std::string(line)));
        if (colon == std::string_view::npos)
            return refusal(notUnderstood);
        const std::string_view key = line.substr(0, colon);
        std::string_view value = line.substr(colon + 1);
        if (value.starts_with(' '))
            value.remove_prefix(1);
        const Text repeated
            = translate("Exercise", "la riga %1 ripete %2").arg(lineNumber).arg(quoted(std::string(key)));

        if (key == PieceKey) {
            if (!value.empty())
                return refusal(notUnderstood);
            exercise.piece = readCompositionText(bytes);
            const ParsedComposition& piece = exercise.piece;
            if (piece.unknownKey || piece.unknownMeter)
                return refusal(translate(
                    "Exercise", "il brano è scritto in una tonalità o in un tempo che questa versione non conosce"));
            if (piece.linesSkipped > 0 || piece.truncated)
                return refusal(translate("Exercise", "alcune righe del brano non si possono leggere"));
            if (std::none_of(piece.entries.begin(), piece.entries.end(), [](Entry e) { return e.RestFlag == False16; }))
                return refusal(translate("Exercise", "il brano non ha note"));
            return { std::move(exercise), {} };
        }
        if (key == "title" || key == "instructions") {
            bool& seen = key == "title" ? titleSeen : instructionsSeen;
            std::string& text = key == "title" ? exercise.settings.title : exercise.settings.instructions;
            if (std::exchange(seen, true))
                text.push_back('\n');
            text.append(value);
            continue;
        }
        if (key == "mode") {
            if (std::exchange(modeSeen, true))
                return refusal(repeated);
            if (value == SingleNotesWords)
                exercise.settings.mode = ExerciseMode::SingleNotes;
            else if (value == InTimeWords)
                exercise.settings.mode = ExerciseMode::InTime;
            else
                return refusal(translate("Exercise", "alla riga %1 la modalità deve essere %2 o %3")
                                   .arg(lineNumber)
                                   .arg(quoted(std::string(SingleNotesWords)))
                                   .arg(quoted(std::string(InTimeWords))));
            continue;
        }
        const auto setting = std::find_if(
            NumberSettings.begin(), NumberSettings.end(), [&](const NumberSetting& n) { return n.key == key; });
        if (setting == NumberSettings.end())
            return refusal(notUnderstood);
        if (std::exchange(numberSeen[std::size_t(setting - NumberSettings.begin())], true))
            return refusal(repeated);
        const std::optional<int> number = wholeNumber(value);
        if (!number || *number < setting->lowest || *number > setting->highest)
            return refusal(translate("Exercise", "alla riga %1 %2 deve essere un numero da %3 a %4")
                               .arg(lineNumber)
                               .arg(quoted(std::string(key)))
                               .arg(setting->lowest)
                               .arg(setting->highest));
        exercise.settings.*setting->field = *number;
    }
    return refusal(translate("Exercise", "manca il brano"));
}

SaveOutcome saveExercise(const ExerciseSettings& settings, const Modulo1& piece, const std::filesystem::path& folder,
    const std::string& baseName, SaveOptions options)
{
    if (const auto problem = fileNameProblem(baseName, ExerciseExtension))
        return { SaveResult::NameRefused, translate("Files", "%1 Non è stato salvato nulla.").arg(*problem) };
    bool anyNote = false;
    for (int i = 0; i < piece.NoteCount && !anyNote; ++i)
        anyNote = piece.Composition.RestFlag[std::size_t(i)] == False16;
    if (!anyNote)
        return { SaveResult::Failed,
            translate("Exercise", "Un esercizio ha bisogno di almeno una nota. Non è stato salvato nulla.") };
    if (const auto problem = ensureFolder(folder))
        return { SaveResult::Failed, translate("Files", "%1 Non è stato salvato nulla.").arg(*problem) };
    removeStaleTemporaries(folder);

    const std::string fileName = baseName + std::string(ExerciseExtension);
    std::error_code missing;
    const bool earlier = std::filesystem::exists(folder / fileName, missing);
    if (const int error = writeFileAtomically(folder, fileName, writeExerciseText(settings, piece), options.flush))
        return { SaveResult::Failed, writeFailureText(WrittenFile::Exercise, error, earlier) };
    return {};
}

ExerciseLoadOutcome loadExercise(const std::filesystem::path& path)
{
    const auto fail = [&](ExerciseLoadResult result, const Text& why) -> ExerciseLoadOutcome {
        return { result, std::nullopt,
            translate("Exercise", "L'esercizio %1 non si è potuto aprire: %2. Non è cambiato nulla.")
                .arg(quoted(path.filename().string()))
                .arg(why) };
    };
    FileBytes file = readWholeFile(path, MaxExerciseBytes);
    if (file.problem)
        return fail(ExerciseLoadResult::Unreadable, *file.problem);
    ExerciseReading reading = readExerciseText(file.bytes);
    if (!reading.exercise)
        return fail(ExerciseLoadResult::Refused, reading.problem);
    return { ExerciseLoadResult::Loaded, std::move(reading.exercise), {} };
}

} // namespace zintaro::storage
