#pragma once

#include "compose/answer_history.h"
#include "compose/recall_model.h"
#include "core/key_meter.h"
#include "core/pitch.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zintaro::compose {

// What the student remembers of each written item, estimated from their
// first answers on all days.
//
// An item is what was written, as text: "treble C4", "bass Gb2", and in the
// same way a chord "treble C4+E4+G4" or a note in a key; the memory knows
// nothing of what the text means, so every kind of drill shares it.
//
// The chance of reading an item right at the first try comes from
// RecallWeights: fading counts of right and wrong answers and the time since
// it was last seen. Right answers slower than SlowShareOfMedian times the
// student's median count for less. Built from a history of FitFromAnswers
// first answers or more, the weights are fitted on its newest FitOnAnswers
// (by the thread that reads it) and kept when they predict the newest fifth
// better than the defaults; otherwise the defaults hold.
class NoteMemory {
public:
    struct Trace {
        int quickRight = 0;
        int slowRight = 0;
        int wrong = 0;
        double fadingRight = 0; // as of lastAnswerUtcMs
        double fadingWrong = 0;
        int64_t lastAnswerUtcMs = 0;
        int64_t lastSeenUtcMs = 0;
        bool seen = false;
    };

    explicit NoteMemory(const RecallWeights& weights = RecallWeights::defaults());

    // Every first answer in the rows (file order); later answers to the same
    // note only mark it as seen (isFirstAnswer). Fits the weights on the
    // rows when they hold FitFromAnswers first answers or more.
    static NoteMemory fromHistory(const std::vector<AnswerHistoryRow>& rows);
    // The same with given weights, never fitted.
    static NoteMemory fromHistory(const std::vector<AnswerHistoryRow>& rows, const RecallWeights& weights);

    // What was known before each first answer of the rows, and the answer.
    static std::vector<RecallExample> recallExamplesOf(const std::vector<AnswerHistoryRow>& rows);

    // Whether rows[i] is a first answer: it follows a right answer, another
    // note, interval, chord or key, a change of mode or a pause of SessionBreakMs.
    static bool isFirstAnswer(const std::vector<AnswerHistoryRow>& rows, size_t i);

    static std::string itemOf(Clef clef, SpelledNote note);
    // Notes written together or one after the other, low to high, in a key:
    // "treble D4+F#4", "bass F#3 in D". A key without a signature writes as
    // C major, a minor key as its relative major: the same signs are seen.
    static std::string itemOf(Clef clef, const std::vector<SpelledNote>& notes, Key key);
    // What a row of the history shows. fromHistory finds the traces of
    // single notes in C major by the note (clef and spelling) without
    // building this text; a row that shows more (a chord, a key) does not
    // take that path.
    static std::string itemOf(const AnswerHistoryRow& row);

    // The first answer to an item shown, right or wrong, at utcMs.
    void firstAnswer(std::string_view item, bool right, int64_t responseMs, int64_t utcMs);
    void firstAnswer(Clef clef, SpelledNote note, bool right, int64_t responseMs, int64_t utcMs);
    // A later answer to the same item: it was seen again.
    void seenAgain(std::string_view item, int64_t utcMs);
    void seenAgain(Clef clef, SpelledNote note, int64_t utcMs);

    // An empty trace for an item never answered.
    const Trace& trace(std::string_view item) const;
    const Trace& trace(Clef clef, SpelledNote note) const;

    // Nothing for an item never answered.
    std::optional<double> recall(std::string_view item, int64_t nowUtcMs) const;
    std::optional<double> recall(Clef clef, SpelledNote note, int64_t nowUtcMs) const;
    // The chance at the first try, an item never answered included.
    double predictedRecall(std::string_view item, int64_t nowUtcMs) const;
    RecallEvidence evidence(std::string_view item, int64_t nowUtcMs) const;

    const RecallWeights& weights() const { return m_weights; }
    bool fittedOnHistory() const { return m_fitted; }

    // The student's median time of first answers; a moderate default before
    // the first one.
    int64_t medianResponseMs() const;

    // First answers a day lately: the more of today's count and the mean of
    // the days practised in the week before; 0 before any answer.
    double answersPerDay(int64_t nowUtcMs) const;

    // How much of what was met the student keeps from one day to the next:
    // the share of first answers right among those to items last seen at
    // least OvernightMs before, recent ones weighing most; nothing before
    // the first such answer.
    std::optional<double> keptOvernight() const;
    static constexpr int64_t OvernightMs = int64_t { 8 } * 3600 * 1000;

    // A right answer slower than this share of the median counts as slow.
    static constexpr double SlowShareOfMedian = 1.5;
    // A slow right answer counts as this much of a quick one.
    static constexpr double SlowRightWorth = 0.5;
    static constexpr size_t FitFromAnswers = 400;
    // The fit looks at the newest this many first answers: the student of today.
    static constexpr size_t FitOnAnswers = 20000;

private:
    static constexpr int64_t BucketMs = 50;
    static constexpr size_t BucketCount = 600; // up to 30 s; slower ones share the last bucket
    static constexpr size_t DaysKept = 8;

    static NoteMemory build(
        const std::vector<AnswerHistoryRow>& rows, const RecallWeights& weights, std::vector<RecallExample>* examples);
    static RecallEvidence evidence(const Trace& trace, int64_t nowUtcMs);
    Trace& traceToWrite(std::string_view item);
    const Trace* find(std::string_view item) const;
    Trace* find(std::string_view item);
    void countResponse(int64_t responseMs);
    void countDay(int64_t utcMs);
    void record(Trace& trace, bool right, bool slow, int64_t utcMs);

    RecallWeights m_weights;
    bool m_fitted = false;
    std::vector<Trace> m_traces;
    std::map<std::string, size_t, std::less<>> m_items;
    std::array<int, BucketCount> m_responses {};
    int m_responseCount = 0;
    std::array<int64_t, DaysKept> m_dayOf {}; // UTC day number of each slot
    std::array<int, DaysKept> m_answersOnDay {};
    double m_keptOvernight = 0;
    double m_overnightWeight = 0; // the part of m_keptOvernight drawn from answers, not from its start at 0
};

} // namespace zintaro::compose
