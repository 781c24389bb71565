#include "compose/delay_calibration.h"
#include "compose/keyboard_octaves.h"
#include "compose/phrase_entries.h"
#include "compose/timed_reading.h"
#include "compose/workspace.h"
#include "compose_rig.h"
#include "staff/staff_system.h"
#include "storage/storage_test_support.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sstream>

namespace zintaro::compose {
namespace {

// A phrase written as the composition's entries keeps the timeline of the
// phrase itself: ties joined, dotted values and rests in their places.
TEST(TimedReading, writtenEntriesKeepTheTimelineOfEveryGeneratedPhrase)
{
    for (int level = FirstLevel; level <= LastLevel; ++level) {
        for (const Meter meter : offeredMeters()) {
            MelodyRequest request;
            request.level = level;
            request.meter = meter;
            request.seed = static_cast<uint32_t>(level * 31 + meter.beats);
            const auto phrase = generateMelody(request);
            ASSERT_TRUE(phrase);
            const PhraseTimeline want = timelineOf(*phrase, 97);
            const PhraseTimeline got = timelineOfEntries(entriesOfPhrase(*phrase), meter, 97);
            SCOPED_TRACE(level * 100 + meter.beats * 10 + meter.unit);
            ASSERT_EQ(got.notes.size(), want.notes.size());
            EXPECT_DOUBLE_EQ(got.endMs, want.endMs);
            EXPECT_EQ(got.beatsPerMeasure, want.beatsPerMeasure);
            for (size_t i = 0; i < got.notes.size(); ++i) {
                EXPECT_EQ(got.notes[i].midi, want.notes[i].midi);
                EXPECT_NEAR(got.notes[i].onsetMs, want.notes[i].onsetMs, 1e-6);
                EXPECT_NEAR(got.notes[i].lengthMs, want.notes[i].lengthMs, 1e-6);
            }
        }
    }
}

struct RecordedClicks : ClickTrack {
    void schedule(double atMs, bool accent) override { clicks.emplace_back(atMs, accent); }
    void cancel() override { clicks.clear(); }
    std::vector<std::pair<double, bool>> clicks;
};

struct TimedRig : testing::ComposeRig {
    testing::TemporaryFolder folder;
    std::vector<int> layouts;
    RecordedClicks clicks;
    Workspace workspace { ports, folder.path() / "answers.csv", [this](int scale) { layouts.push_back(scale); } };
};

// The workspace runs a phrase of the piece from "Leggi": the count-in's
// clicks, the judged keys and missed notes as marks and history lines, the
// summary, and the next phrase at the next key.
TEST(TimedReading, theWorkspaceRunsAPhraseFromCountInToSummaryAndStartsTheNextAtAKey)
{
    TimedRig r;
    r.workspace.setClickTrack(&r.clicks);
    const std::vector<Entry> quarters { { False16, 11, 2 }, { False16, 13, 2 }, { True16, 0, 2 }, { False16, 14, 2 },
        { False16, 16, 2 } };
    r.workspace.apply(ReplacePiece { quarters, Key {}, Meter { 4, 4 } });
    r.workspace.setTempo(120);
    r.workspace.switchMode(Mode::Read, 0, 1);
    PracticeChoices practice = r.workspace.choices().practice;
    practice.inTime = true;
    practice.fromPiece = true;
    practice.metronome = false;
    r.workspace.choosePractice(practice, 0, 1);
    ASSERT_EQ(r.workspace.timedReading(), nullptr);
    EXPECT_TRUE(r.workspace.setAnswering(true, 1000, 1).answering);
    const TimedReading* t = r.workspace.timedReading();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(r.layouts.back(), 1);
    const int64_t start = t->startMs();
    const std::vector<std::pair<double, bool>> countIn { { start, true }, { start + 500, false },
        { start + 1000, false }, { start + 1500, false } };
    EXPECT_EQ(r.clicks.clicks, countIn);

    const auto key
        = [&r](int16_t index, int64_t at) { return r.workspace.keyDown(index, at, false, KeySound::Sounded); };
    key(11, start + 2000 + 20); // on time
    key(12, start + 2500); // the wrong note
    key(5, start + 3000); // in the rest
    Report last;
    for (int64_t now = start + 3000; r.workspace.timedReading()->judgements().size() < 5; now += 10)
        last = r.workspace.answersDue(now); // Mi and Fa never played
    ASSERT_TRUE(t->finished());
    std::vector<Timing> timings;
    for (const NoteJudgement& j : t->judgements())
        timings.push_back(j.timing);
    EXPECT_EQ(
        timings, (std::vector { Timing::Perfect, Timing::Perfect, Timing::Missed, Timing::Missed, Timing::Missed }));
    EXPECT_EQ(last.score.render(),
        "Note giuste: 1 su 4 · A tempo: 2 su 4 · Errore medio: 10 ms · In media 10 ms in ritardo · Note in più: 1 · "
        "Pause in silenzio: 0 su 1");
    EXPECT_FALSE(last.answersDue);

    // Under the heads, in order: Si on time, the wrong note, the key in the rest, two missed.
    std::vector<staff::Rgb> marks;
    for (const auto& mark : r.surface.marksOf(testing::RecordingSurface::Kind::FilledRectangle))
        if (mark.y1 == 147)
            marks.push_back(mark.colour);
    EXPECT_EQ(marks,
        (std::vector<staff::Rgb> {
            staff::Green, staff::Red, staff::Red, colourOf(TimingMark::Grey), colourOf(TimingMark::Grey) }));
    std::vector<std::string> errors;
    for (const auto& text : r.surface.texts)
        if (text.top == 152)
            errors.push_back(text.text);
    EXPECT_EQ(errors, (std::vector<std::string> { "20", "0" }));

    const auto rows = storage::readAnswerHistory(r.folder.path() / "answers.csv");
    ASSERT_EQ(rows.size(), 4U); // the rest has no line
    EXPECT_EQ(rows[0].record.mode, AnswerMode::Tempo);
    EXPECT_EQ(rows[0].record.onsetMs, std::optional<int>(20));
    EXPECT_EQ(rows[1].record.answered, midiNoteOfKey(12));
    EXPECT_FALSE(rows[1].record.right);
    EXPECT_EQ(rows[3].record.answered, 0);
    EXPECT_EQ(rows[3].record.onsetMs, std::nullopt);

    key(3, start + 6000);
    EXPECT_FALSE(r.workspace.timedReading()->finished());
    EXPECT_EQ(r.workspace.timedReading()->startMs(), start + 6300);
    EXPECT_EQ(r.clicks.clicks.size(), 4U);
    r.workspace.setAnswering(false, start + 6400, 1);
    EXPECT_EQ(r.workspace.timedReading(), nullptr);
    EXPECT_TRUE(r.clicks.clicks.empty());
    EXPECT_EQ(r.layouts.back(), 5);
}

// 57 quarters fill the first page and leave the second a quarter into a
// measure: its first note comes a beat after the count-in.
TEST(TimedReading, theNextPageOfThePieceBeginsOnItsOwnBeat)
{
    TimedRig r;
    r.workspace.apply(
        ReplacePiece { std::vector<Entry>(StaffColumns + 2, Entry { False16, 11, 2 }), Key {}, Meter { 4, 4 } });
    r.workspace.setTempo(120);
    r.workspace.switchMode(Mode::Read, 0, 1);
    PracticeChoices practice = r.workspace.choices().practice;
    practice.inTime = true;
    practice.fromPiece = true;
    r.workspace.choosePractice(practice, 0, 1);
    r.workspace.setAnswering(true, 0, 1);
    ASSERT_EQ(r.workspace.timedReading()->timeline().notes.size(), static_cast<size_t>(StaffColumns));
    r.workspace.answersDue(600'000);
    ASSERT_TRUE(r.workspace.timedReading()->finished());
    r.workspace.keyDown(11, 600'000, false, KeySound::Sounded);
    const auto& notes = r.workspace.timedReading()->timeline().notes;
    ASSERT_EQ(notes.size(), 2U);
    EXPECT_DOUBLE_EQ(notes[0].onsetMs, 2000 + 500);
}

// With "Microfono" the phrase listens too: a note heard is judged from its
// attack, a clarinet's written a tone above its sound, and kept as heard.
TEST(TimedReading, aNoteHeardAtTheMicrophoneIsJudgedFromItsAttack)
{
    TimedRig r;
    r.workspace.apply(ReplacePiece { { { False16, 11, 2 } }, Key {}, Meter { 4, 4 } });
    r.workspace.setTempo(120);
    r.workspace.setListening({ true, PlayedInstrument::ClarinetInBFlat, StandardTuningHz });
    r.workspace.switchMode(Mode::Read, 0, 1);
    PracticeChoices practice = r.workspace.choices().practice;
    practice.inTime = true;
    practice.fromPiece = true;
    r.workspace.choosePractice(practice, 0, 1);
    EXPECT_TRUE(r.workspace.setAnswering(true, 0, 1).listening);
    const int64_t start = r.workspace.timedReading()->startMs();
    r.workspace.heardNote(midiNoteOfKey(11) - 2, start + 2000 - 30, start + 2100);
    ASSERT_TRUE(r.workspace.timedReading()->finished());
    const NoteJudgement& heard = r.workspace.timedReading()->judgements().at(0);
    EXPECT_TRUE(heard.rightPitch);
    EXPECT_DOUBLE_EQ(heard.errorMs, -30);
    const auto rows = storage::readAnswerHistory(r.folder.path() / "answers.csv");
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0].input, std::optional(AnswerInput::Microphone));
}

// An exercise "A tempo" sat by a simulated student: its count-in and tempo,
// not the window's; each page read in time, a key starting the next; the
// notes missed (late, early, wrong or never played) asked again one by one;
// the result and the history as predicted. Every fourth entry is a rest.
TEST(TimedReading, anExamInTimeAsksAgainTheNotesMissedInTime)
{
    struct Miss {
        int offsetMs = 0;
        bool wrong = false;
        bool silent = false;
    };
    struct ExamCase {
        const char* what;
        int countIn;
        bool metronome;
        int entries;
        std::map<int, Miss> misses; // by the note's place among the notes
        std::vector<int> again; // the notes asked again, by the same places
        int percent;
        bool passed;
    };
    const std::vector<ExamCase> cases {
        { "one late", 2, true, 7, { { 2, { 200 } } }, { 2 }, 83, true },
        { "wrong, early and never", 0, false, 7, { { 0, { 0, true } }, { 3, { -150 } }, { 4, { 0, false, true } } },
            { 0, 3, 4 }, 50, false },
        { "Bene on both edges, and a second page", 1, false, StaffColumns + 3,
            { { 1, { 95 } }, { 5, { -95 } }, { 43, { 0, true } } }, { 43 }, 97, true },
    };
    for (const ExamCase& c : cases) {
        SCOPED_TRACE(c.what);
        TimedRig r;
        r.workspace.setClickTrack(&r.clicks);
        std::ostringstream text;
        text << "Zintaro exercise 1\ntitle: Prova\ntempo: 120\nmode: in time\npass mark: 75\nrepeats: 1\ncount-in: "
             << c.countIn << "\npiece:\n";
        std::vector<int> midiOfNote;
        for (int p = 0; p < c.entries; ++p) {
            if (p % 4 == 3) {
                text << "\"_\",-1,0,2\n";
            } else {
                text << "\"_\",0," << 14 + p % 7 << ",2\n";
                midiOfNote.push_back(midiNoteOfKey(static_cast<int16_t>(14 + p % 7)));
            }
        }
        const auto file = r.folder.path() / "prova.zex";
        std::ofstream(file) << text.str();
        r.workspace.open(file);
        r.workspace.setTempo(60);
        r.workspace.switchMode(Mode::Read, 0, 1);
        PracticeChoices practice = r.workspace.choices().practice;
        practice.metronome = c.metronome;
        r.workspace.choosePractice(practice, 0, 1);
        r.workspace.setAnswering(true, 1000, 1);

        size_t played = 0;
        for (int page = 0; r.workspace.timedReading(); ++page) {
            const TimedReading& t = *r.workspace.timedReading();
            const double start = static_cast<double>(t.startMs());
            const size_t beats = static_cast<size_t>(std::round(t.timeline().endMs / 500));
            ASSERT_EQ(r.clicks.clicks.size(), c.metronome ? beats : static_cast<size_t>(4 * c.countIn));
            for (size_t k = 0; k < r.clicks.clicks.size(); ++k)
                EXPECT_EQ(r.clicks.clicks[k], std::pair(start + 500.0 * static_cast<double>(k), k % 4 == 0));
            const double pageStartsAt = page == 0 ? 0 : 500.0 * ((page * StaffColumns) % 4);
            EXPECT_DOUBLE_EQ(t.timeline().notes.at(0).onsetMs, 2000.0 * c.countIn + pageStartsAt);
            for (const TimedNote& note : t.timeline().notes) {
                if (note.isRest())
                    continue;
                const Miss miss
                    = c.misses.contains(static_cast<int>(played)) ? c.misses.at(static_cast<int>(played)) : Miss {};
                ++played;
                if (!miss.silent)
                    r.workspace.keyDown(static_cast<int16_t>(note.midi - MidiNoteOfLowestKey + (miss.wrong ? 1 : 0)),
                        static_cast<int64_t>(start + note.onsetMs) + miss.offsetMs, false, KeySound::Sounded);
            }
            const int64_t end = static_cast<int64_t>(start + t.timeline().endMs) + 1000;
            r.workspace.answersDue(end);
            ASSERT_TRUE(t.finished());
            r.workspace.keyDown(0, end + 10, false, KeySound::Sounded);
        }
        ASSERT_EQ(played, midiOfNote.size());

        std::vector<int> asked;
        std::optional<FinishedExam> finished;
        for (int64_t now = 600'000; r.workspace.reading().awaited && asked.size() <= c.again.size(); now += 3000) {
            const int note = *r.workspace.reading().awaited;
            asked.push_back(note);
            const auto key
                = static_cast<int16_t>(note - MidiNoteOfLowestKey - 12 * r.workspace.reading().keyboardShift);
            r.workspace.keyDown(key, now, false, KeySound::Sounded);
            r.workspace.keyUp(key, now + 10, KeySound::Sounded);
            if (auto exam = r.workspace.answersDue(now + 1500).exam)
                finished = exam;
        }
        std::vector<int> expected;
        for (const int n : c.again)
            expected.push_back(midiOfNote.at(static_cast<size_t>(n)));
        EXPECT_EQ(asked, expected);
        ASSERT_TRUE(finished);
        EXPECT_TRUE(finished->inTime);
        EXPECT_EQ(finished->result.notes, static_cast<int>(midiOfNote.size()));
        EXPECT_EQ(finished->result.percent, c.percent);
        EXPECT_EQ(finished->result.passed, c.passed);

        // Each note read in time a line of its own; the exam's line as a single-notes exam writes it.
        const auto rows = storage::readAnswerHistory(r.folder.path() / "answers.csv");
        EXPECT_EQ(rows.size(), midiOfNote.size() + c.again.size());
        EXPECT_EQ(std::ranges::count(rows, AnswerMode::Tempo, [](const auto& row) { return row.record.mode; }),
            static_cast<std::ptrdiff_t>(midiOfNote.size()));
    }
}

// A generated phrase on the bass staff, its range Do2–Do3 all below the
// piano's keys: every head stands where the bass staff places its note,
// the cursor and the marks under their columns; the computer keys moved by
// octaves play it and sound what they play, and the history says bass.
TEST(TimedReading, aPhraseOnTheBassStaffStandsWhereTheStaffPlacesItsNotes)
{
    TimedRig r;
    r.workspace.setTempo(120);
    r.workspace.switchMode(Mode::Read, 0, 1);
    PracticeChoices practice = r.workspace.choices().practice;
    practice.inTime = true;
    practice.clef = Clef::Bass;
    practice.range() = { natural(Letter::C, 2), natural(Letter::C, 3) };
    r.workspace.choosePractice(practice, 0, 1);
    const Report started = r.workspace.setAnswering(true, 0, 1);
    const TimedReading* t = r.workspace.timedReading();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(r.surface.clefs[0].sign, staff::ClefSign::F);
    const int shift = r.workspace.reading().keyboardShift;
    EXPECT_EQ(started.notices.keyboard.render(), keyboardRangeText(shift, NoteNaming::Solfege).render());

    const staff::Look look { 1, false, NoteNaming::Solfege, {}, Meter { 4, 4 }, Clef::Bass };
    const staff::ColumnGrid grid = staff::columnGrid(look);
    const staff::StaffSystem bass = staff::staffSystemFor(Clef::Bass, 1);
    const auto heads = r.surface.marksOf(testing::RecordingSurface::Kind::Circle);
    for (const TimedNote& note : t->timeline().notes) {
        if (note.isRest())
            continue;
        ASSERT_LT(note.midi, MidiNoteOfLowestKey);
        const auto x = static_cast<float>(grid.centre(static_cast<int>(note.indexInMeasure)));
        const auto y = static_cast<float>(bass.yOf(staff::staffPositionOf(spellInKey(note.midi, {}), Clef::Bass)));
        EXPECT_TRUE(std::ranges::any_of(heads, [&](const auto& m) { return m.x1 == x && m.y1 == y; }))
            << note.midi << " in column " << note.indexInMeasure;
    }

    const TimedNote& first = t->timeline().notes.at(0);
    ASSERT_FALSE(first.isRest());
    const auto key = static_cast<int16_t>(shiftedKeyOfMidiNote(first.midi, shift));
    ASSERT_TRUE(isPianoNote(key));
    const auto onset = t->startMs() + static_cast<int64_t>(first.onsetMs);
    r.workspace.keyDown(key, onset, false, KeySound::Sounded);
    r.workspace.keyUp(key, onset + 50, KeySound::Sounded);
    EXPECT_EQ(t->judgements().at(0).timing, Timing::Perfect);
    EXPECT_EQ(r.system.notesOn(), std::vector { first.midi });
    EXPECT_EQ(r.surface.cursorLeft, grid.centre(0));
    const auto marks = r.surface.marksOf(testing::RecordingSurface::Kind::FilledRectangle);
    EXPECT_TRUE(std::ranges::any_of(marks, [&](const auto& m) {
        return m.y1 == 147 && m.x1 == static_cast<float>(grid.centre(0) - 6) && m.colour == staff::Green;
    }));
    r.workspace.setAnswering(false, onset + 100, 1);
    const auto rows = storage::readAnswerHistory(r.folder.path() / "answers.csv");
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0].clefOrTreble(), Clef::Bass);
}

// A steady tapper late by 40 ms with a spread of 12 ms, calibrated twice.
TEST(DelayCalibration, repeatingOnASteadyTapperGivesTheSameFigureWithin10ms)
{
    std::mt19937 random(7);
    std::normal_distribution<double> spread(40, 12);
    std::vector<int> figures;
    for (int run = 0; run < 2; ++run) {
        DelayCalibration calibration(90, 1000 * run);
        for (const Click& click : calibration.clicks())
            calibration.tap(click.atMs + spread(random));
        ASSERT_TRUE(calibration.delayMs());
        figures.push_back(*calibration.delayMs());
    }
    EXPECT_NEAR(figures[0], figures[1], 10);
    EXPECT_NEAR(figures[0], 40, 10);
    EXPECT_EQ(
        DelayCalibration(90, 0).words().render(), "Troppo pochi tocchi: tocca un tasto a ogni clic, poi riprova.");
}

} // namespace
} // namespace zintaro::compose
