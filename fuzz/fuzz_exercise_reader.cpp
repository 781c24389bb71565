// Feeds the exercise reader files built from the format's own lines, in any
// order and with any line ends, or the data's bytes as they are. Whatever it
// accepts must hold values in their ranges and a piece with a note, and must
// come back from writing and reading again as it was, byte for byte.
#include "storage/exercise_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <initializer_list>
#include <string>

namespace {

using namespace zintaro;

std::string pick(FuzzedDataProvider& in, std::initializer_list<const char*> words)
{
    return *(words.begin() + in.ConsumeIntegralInRange<std::size_t>(0, words.size() - 1));
}

std::string number(FuzzedDataProvider& in, int low, int high)
{
    return std::to_string(in.ConsumeIntegralInRange(low, high));
}

std::string settingLine(FuzzedDataProvider& in)
{
    const std::string key = pick(in,
        { "title", "instructions", "tempo", "mode", "pass mark", "repeats", "count-in", "piece", "Tempo", "",
            "title " });
    std::string value;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        value = number(in, -5, 300);
        break;
    case 1:
        value = pick(in, { "single notes", "in time", "A tempo", "", " 80", "80 ", "+1", "0x10" });
        break;
    default:
        value = in.ConsumeRandomLengthString(24);
    }
    return key + pick(in, { ": ", ":", " : ", "" }) + value;
}

std::string pieceLine(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return "\"key\",\"" + pick(in, { "D", "Bb", "f#", "H" }) + "\"";
    case 1:
        return "\"meter\",\"" + pick(in, { "3/4", "6/8", "5/4" }) + "\"";
    case 2:
        return "\"_\",111,111,111";
    default:
        return "\"_\"," + number(in, -1, 1) + "," + number(in, -1, 37) + "," + number(in, -1, 7);
    }
}

std::string exerciseFile(FuzzedDataProvider& in)
{
    std::string out = in.ConsumeBool() ? "Zintaro exercise " + number(in, 0, 2) : in.ConsumeRandomLengthString(20);
    const auto end = [&] { out += pick(in, { "\r\n", "\n", "\r", "\r\n", "\n\n" }); };
    end();
    for (int i = in.ConsumeIntegralInRange(0, 12); i > 0 && in.remaining_bytes() > 0; --i) {
        out += settingLine(in);
        end();
    }
    if (in.ConsumeBool()) {
        out += "piece:";
        end();
    }
    for (int i = in.ConsumeIntegralInRange(0, 20); i > 0 && in.remaining_bytes() > 0; --i) {
        out += pieceLine(in);
        end();
    }
    return out;
}

void check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool asBytes = in.ConsumeBool();
    const std::string bytes = asBytes ? in.ConsumeRemainingBytesAsString() : exerciseFile(in);
    const storage::ExerciseReading reading = storage::readExerciseText(bytes);
    check(reading.exercise.has_value() == reading.problem.empty());
    if (!reading.exercise)
        return 0;
    const storage::ExerciseSettings& s = reading.exercise->settings;
    check(s.tempo >= storage::LowestExerciseTempo && s.tempo <= storage::HighestExerciseTempo);
    check(s.passMark >= 0 && s.passMark <= 100 && s.repeats >= 0 && s.repeats <= storage::MostRepeats);
    check(s.countIn >= 0 && s.countIn <= storage::MostCountInMeasures);

    Modulo1 m;
    const storage::ParsedComposition& piece = reading.exercise->piece;
    check(piece.noteCount() > 0 && piece.noteCount() <= MaxEntries);
    storage::applyToStore(piece, m.Composition);
    m.NoteCount = piece.noteCount();
    m.PieceKey = piece.key;
    m.PieceMeter = piece.meter;
    const std::string written = storage::writeExerciseText(s, m);
    const storage::ExerciseReading again = storage::readExerciseText(written);
    check(again.exercise && again.exercise->settings == s && again.exercise->piece.entries == piece.entries);
    check(storage::writeExerciseText(again.exercise->settings, m) == written);
    return 0;
}
