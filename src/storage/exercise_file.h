#pragma once

#include "core/modulo1.h"
#include "core/translation.h"
#include "storage/composition_file.h"
#include "storage/composition_format.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zintaro::storage {

inline constexpr std::string_view ExerciseExtension = ".zex";

// How the student answers an exercise: note by note, or "A tempo", where a
// note answered late counts as missed.
enum class ExerciseMode { SingleNotes, InTime };

inline constexpr int LowestExerciseTempo = 40;
inline constexpr int HighestExerciseTempo = 210;
inline constexpr int MostRepeats = 2;
inline constexpr int MostCountInMeasures = 4;

// What a teacher sets for an exercise, beside its piece.
struct ExerciseSettings {
    std::string title; // one or more lines, UTF-8
    std::string instructions; // shown to the student; any number of lines
    int tempo = 100;
    ExerciseMode mode = ExerciseMode::SingleNotes;
    int passMark = 80; // percent of notes right at the first try, 0..100
    int repeats = 1; // how many times each missed note is asked again, 0..2
    int countIn = 1; // measures of beats before the first note, 0..4

    friend bool operator==(const ExerciseSettings&, const ExerciseSettings&) = default;
};

// An exercise file is UTF-8 text a teacher can read, every line ended by
// CR LF: a first line naming the format and its version, one "key: value"
// line for each setting (a text of several lines takes one line for each,
// under the same key), a line "piece:", then the piece as a composition
// file holds it:
//   Zintaro exercise 1
//   title: Scala di Do
//   instructions: Suona piano.
//   tempo: 90
//   mode: in time          ("single notes" or "in time", which is "A tempo")
//   pass mark: 80
//   repeats: 1
//   count-in: 1
//   piece:
//   "_",0,14,2
//   "_",111,111,111
std::string writeExerciseText(const ExerciseSettings& settings, const Modulo1& piece);

// What reading an exercise gives; a problem in words (after "…: ") and no
// exercise when it cannot be used whole. A file edited by hand may end its
// lines with LF or CR, begin with a byte order mark, hold empty lines and
// leave settings out (they take their defaults); a key it does not know, a
// setting given twice, a value out of range or a piece with unreadable
// lines or no note refuses it, with the line's number where there is one.
struct ParsedExercise {
    ExerciseSettings settings;
    ParsedComposition piece;
};
struct ExerciseReading {
    std::optional<ParsedExercise> exercise;
    Text problem;
};
ExerciseReading readExerciseText(std::string_view bytes);

// An exercise file is refused unread above this size.
inline constexpr std::size_t MaxExerciseBytes = 256 * 1024;

// Writes folder/baseName.zex through the one atomic write path, as a
// composition is saved: the old file stays whole when anything fails.
SaveOutcome saveExercise(const ExerciseSettings& settings, const Modulo1& piece, const std::filesystem::path& folder,
    const std::string& baseName, SaveOptions options = {});

enum class ExerciseLoadResult { Loaded, Unreadable, Refused };
struct ExerciseLoadOutcome {
    ExerciseLoadResult result = ExerciseLoadResult::Loaded;
    std::optional<ParsedExercise> exercise; // only when loaded
    Text text; // empty when loaded
};

// Reads an exercise file whole; changes nothing. A file that cannot be read,
// is too large, is no exercise or holds a value out of its range gives no
// exercise and words that say why.
ExerciseLoadOutcome loadExercise(const std::filesystem::path& path);

} // namespace zintaro::storage
