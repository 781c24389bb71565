#pragma once

#include "core/key_meter.h"
#include "core/pitch.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zintaro::storage {

// Where the notes come from: a random draw, the scale walk of "Scala", the
// review draw of "Ripasso", or a note played in time with the beat. An
// exam's line is no answer but the result of a whole exam: shown holds the
// percent reached, answered the pass mark, right whether it passed and
// response_ms how long it took; its last field is the exercise's title.
enum class AnswerMode : uint8_t { Random, Scale, Review, Tempo, Exam };

// "random", "scale", "review", "tempo", "exam": the words of the history's mode column.
std::string_view answerModeWord(AnswerMode mode);

// What answered: the computer keys (or the mouse on the piano), a MIDI
// keyboard, or a note played or sung into the microphone.
enum class AnswerInput : uint8_t { Keys, Midi, Microphone };

// "keys", "midi", "mic": the words of the history's input column.
std::string_view answerInputWord(AnswerInput input);
std::optional<AnswerInput> answerInputFromWord(std::string_view word);

// One answer as it goes into the history: the note shown and the note
// played, as MIDI note numbers, and the milliseconds from the note appearing
// to the key going down. A note played in time also keeps how far its onset
// fell from the beat, after the delay correction (negative: early); a note
// never played is one with nothing answered (0).
struct AnswerRecord {
    AnswerRecord() = default;
    AnswerRecord(AnswerMode from, int shownNote, int answeredNote, bool isRight, int64_t responseAfterMs,
        std::optional<int> onsetErrorMs = {})
        : mode(from)
        , shown(shownNote)
        , answered(answeredNote)
        , right(isRight)
        , responseMs(responseAfterMs)
        , onsetMs(onsetErrorMs)
    {
    }

    AnswerMode mode = AnswerMode::Random;
    int shown = 0;
    int answered = 0;
    bool right = false;
    int64_t responseMs = 0;
    std::optional<int> onsetMs;

    friend bool operator==(const AnswerRecord&, const AnswerRecord&) = default;
};

// A moment in local time as the history writes it, with its distance from UTC.
struct LocalTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int utcOffsetMinutes = 0;

    static LocalTime now();

    // Days since 1970-01-01 of the date as written.
    int localDay() const;

    // Milliseconds since 1970-01-01 UTC.
    int64_t utcMilliseconds() const;
};

// The first line of a new file. Files begun before the later columns existed
// keep their shorter first line, and their old lines still count.
inline constexpr std::string_view AnswerHistoryHeader
    = "time,mode,shown,answered,right,response_ms,session,clef,spelled,key,input,onset_ms,title";

// What a line says beyond the judged answer: when its session began, the
// staff the note was shown on, how it was written (with the notes above it
// of an interval or chord, low to high), the key it was read in and what
// answered.
struct AnswerContext {
    AnswerContext() = default;
    AnswerContext(const LocalTime& start, Clef staff, SpelledNote written, std::vector<SpelledNote> notesAbove = {},
        Key readIn = {}, AnswerInput answeredWith = AnswerInput::Keys)
        : sessionStart(start)
        , clef(staff)
        , spelled(written)
        , above(std::move(notesAbove))
        , key(readIn)
        , input(answeredWith)
    {
    }

    LocalTime sessionStart;
    Clef clef = Clef::Treble;
    SpelledNote spelled;
    std::vector<SpelledNote> above;
    Key key;
    AnswerInput input = AnswerInput::Keys;
    std::string title; // an exam's: the exercise's title
};

// "2024-05-01T14:03:07.042+02:00,random,60,62,0,1375,2024-05-01T14:00:00.000+02:00,treble,C4+E4+G4,D,keys,",
// without the newline; the key is empty for C major, the onset error empty
// when there is none. An exam's line ends with one field more, the title in
// double quotes (a quote in it doubled, its lines joined by spaces).
std::string answerHistoryLine(const LocalTime& when, const AnswerRecord& record, const AnswerContext& context);
// The same with `when` as the session's start, the treble staff and the
// natural or sharp spelling of the shown note.
std::string answerHistoryLine(const LocalTime& when, const AnswerRecord& record);

// One answer read back. Lines written before the last three columns existed
// have no session, clef or spelling; the accessors below fill them in.
struct AnswerHistoryRow {
    AnswerHistoryRow() = default;
    AnswerHistoryRow(int64_t utc, const AnswerRecord& answer, std::optional<int64_t> sessionUtc = {},
        std::optional<Clef> staff = {}, std::optional<SpelledNote> written = {},
        std::optional<AnswerInput> answeredWith = {})
        : utcMs(utc)
        , record(answer)
        , sessionUtcMs(sessionUtc)
        , clef(staff)
        , spelled(written)
        , input(answeredWith)
    {
    }

    int64_t utcMs = 0;
    AnswerRecord record;
    std::optional<int64_t> sessionUtcMs; // the session's start, UTC milliseconds
    std::optional<Clef> clef;
    std::optional<SpelledNote> spelled; // sounds as record.shown
    std::vector<SpelledNote> above; // the other notes of an interval or chord
    std::optional<Key> key; // lines before keys have none: C major
    std::optional<AnswerInput> input; // missing from lines written before it was kept
    std::string title; // an exam's exercise

    // As written, or for an old line the natural or sharp name of the note.
    SpelledNote spelledNote() const { return spelled.value_or(sharpSpelling(record.shown)); }
    Clef clefOrTreble() const { return clef.value_or(Clef::Treble); }
};

// One line of the history, six, nine, ten, eleven, twelve or, for an exam,
// thirteen fields; nothing for a header or a damaged line (a spelling that
// does not sound as the shown note is damage).
std::optional<AnswerHistoryRow> parseAnswerHistoryLine(std::string_view line);

// Every answer of a history file in file order, damaged lines and exams'
// results skipped; nothing read from a missing or unreadable file.
std::vector<AnswerHistoryRow> readAnswerHistory(const std::filesystem::path& file);

// One line of the history as read: the header (only as the first line), an
// answer with the local day it was given on (days since 1970-01-01, in the
// time it was written in), or a damaged line. Empty lines are not lines.
struct AnswerLogLine {
    enum class Kind : uint8_t { Header, Answer, Damaged };
    Kind kind = Kind::Damaged;
    AnswerHistoryRow row;
    int localDay = 0;
};

// Tells the lines of one history apart, in file order.
class AnswerLogLines {
public:
    std::optional<AnswerLogLine> read(std::string_view line);

private:
    bool m_first = true;
};

// Hands every line of a history to `take` in file order, read in large
// pieces: a year of answers is read in a few tens of milliseconds. A missing
// or unreadable file has no lines.
void readAnswerLog(std::istream& in, const std::function<void(const AnswerLogLine&)>& take);
void readAnswerLog(const std::filesystem::path& file, const std::function<void(const AnswerLogLine&)>& take);

} // namespace zintaro::storage
