#include "compose/modes.h"
#include "compose/note_entry.h"
#include "compose/playback.h"
#include "compose_rig.h"
#include "staff/staff.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace zintaro::compose {
namespace {

using testing::ComposeRig;

struct Event {
    Millis at;
    bool on;
    int note;
    friend bool operator==(const Event&, const Event&) = default;
};

void PrintTo(const Event& e, std::ostream* os)
{
    *os << (e.on ? "on " : "off ") << e.note << " @" << e.at;
}

class PlaybackTest : public ::testing::Test {
protected:
    void store(std::initializer_list<Entry> entries)
    {
        int p = 0;
        for (const Entry& e : entries)
            rig.m.Composition.set(p++, e);
        rig.m.NoteCount = p;
        rig.m.Composition.set(p, EndEntry);
        rig.m.WriteIndex = static_cast<int16_t>(p);
        rig.m.CursorColumn = rig.m.columnOf(p);
    }

    // Messages sent since the last call, stamped with the fake clock's time.
    void collect(Millis now)
    {
        for (; seen < rig.system.sent.size(); ++seen) {
            const auto& b = rig.system.sent[seen];
            events.push_back({ now, b[2] != 0, b[1] });
        }
    }

    std::optional<Millis> begin(Millis now)
    {
        auto next = playback.start(now);
        collect(now);
        return next;
    }

    // Drives the playback as the window's timer would, each callback `late`
    // milliseconds after the time asked for; `between` runs between callbacks.
    void driveFrom(std::optional<Millis> next, Millis late = 0, const std::function<void(Millis)>& between = {})
    {
        while (next) {
            const Millis now = *next + late;
            EXPECT_TRUE(rig.m.Listening);
            next = playback.advance(now);
            collect(now);
            if (between && next)
                between(now);
        }
        EXPECT_FALSE(playback.running());
        EXPECT_FALSE(rig.m.Listening);
    }

    std::vector<int> cursorPlaces() const
    {
        std::vector<int> t = rig.surface.trail;
        t.erase(std::unique(t.begin(), t.end()), t.end());
        return t;
    }

    ComposeRig rig;
    Playback playback { rig.m, rig.ports };
    std::vector<Event> events;
    size_t seen = 0;
};

TEST_F(PlaybackTest, aNoteAndARestSoundHoldAndSilenceOnScheduleWhileTheCursorWalks)
{
    store({ { 0, 7, 2 }, { -1, 0, 1 } });
    driveFrom(begin(0));

    EXPECT_EQ(events, (std::vector<Event> { { 0, true, 60 }, { 750, false, 60 }, { 2250, false, 53 } }));
    EXPECT_EQ(cursorPlaces(), (std::vector<int> { 100, 120, 140 }));
    EXPECT_EQ(rig.m.CursorColumn, 2);
    EXPECT_EQ(rig.m.WriteIndex, 2);
    EXPECT_EQ(rig.piece(), (std::vector<Entry> { { 0, 7, 2 }, { -1, 0, 1 } }));
}

// A dotted quarter tied to an eighth is one note of a half's length; a
// dotted eighth rest waits half as long again.
TEST_F(PlaybackTest, dottedValuesHoldHalfAgainAndTiedNotesSoundOnce)
{
    store({ { 0, 7, 2, true, true }, { 0, 7, 3 }, { 0, 7, 2 }, { -1, 0, 3, true } });
    driveFrom(begin(0));
    EXPECT_EQ(events,
        (std::vector<Event> {
            { 0, true, 60 }, { 1500, false, 60 }, { 1500, true, 60 }, { 2250, false, 60 }, { 2813, false, 53 } }));
}

TEST_F(PlaybackTest, eachDurationHoldsItsWrittenTimeAndUnknownCodesNone)
{
    const struct {
        int16_t restFlag;
        int16_t code;
        Millis held;
    } rows[] = { { 0, 0, 3000 }, { 0, 1, 1500 }, { 0, 2, 750 }, { 0, 3, 375 }, { 0, 4, 188 }, { 0, 5, 94 },
        { 0, 6, 47 }, { 0, 7, 0 }, { 0, 111, 0 }, { 1, 3, 375 } }; // only -1 marks a rest
    for (const auto& row : rows) {
        events.clear();
        store({ { row.restFlag, 9, row.code } });
        driveFrom(begin(1000));
        EXPECT_EQ(events, (std::vector<Event> { { 1000, true, 62 }, { 1000 + row.held, false, 62 } }))
            << "code " << row.code;
    }
}

// Runs of sixteenths, thirty-seconds and sixty-fourths filling a quarter,
// then a quarter: each short note sounds for its written length (within the
// millisecond the timer works in) and the run ends on time, at two tempos.
TEST_F(PlaybackTest, shortNotesSoundForTheirWrittenLengthAndFollowTheTempo)
{
    for (const int tempo : { 100, 41 }) {
        recomputeTempoDurations(rig.m, tempo);
        const double whole = tempo * 30.0;
        for (const int16_t code : { 4, 5, 6 }) {
            const int count = 1 << (code - 2);
            std::vector<Entry> run(static_cast<size_t>(count), Entry { 0, 9, code });
            run.push_back({ 0, 11, 2 });
            events.clear();
            int p = 0;
            for (const Entry& e : run)
                rig.m.Composition.set(p++, e);
            rig.m.NoteCount = p;
            rig.m.Composition.set(p, EndEntry);
            driveFrom(begin(0));

            const double written = whole / (1 << code);
            ASSERT_EQ(events.size(), 2 * run.size()) << "tempo " << tempo << " code " << code;
            for (int i = 0; i < count; ++i) {
                const Event& on = events[2 * static_cast<size_t>(i)];
                const Event& off = events[2 * static_cast<size_t>(i) + 1];
                ASSERT_TRUE(on.on && !off.on);
                EXPECT_NEAR(static_cast<double>(off.at - on.at), written, 1.0)
                    << "tempo " << tempo << " code " << code << " note " << i;
                EXPECT_NEAR(static_cast<double>(on.at), written * i, 1.0);
            }
            EXPECT_EQ(
                events[2 * static_cast<size_t>(count)], (Event { static_cast<Millis>(std::ceil(whole / 4)), true, 64 }))
                << "tempo " << tempo << " code " << code;
        }
    }
}

TEST_F(PlaybackTest, speakingNamesSendsNoNoteOnButStillTheNoteOff)
{
    rig.m.SpeakNames = true;
    store({ { 0, 7, 2 }, { 0, 16, 3 } });
    driveFrom(begin(0));

    EXPECT_EQ(events, (std::vector<Event> { { 750, false, 60 }, { 1125, false, 69 } }));
    EXPECT_EQ(rig.speech.said, (std::vector<std::string> { "Do", "La" }));
    EXPECT_EQ(rig.surface.nameLabels, "LA");
}

TEST_F(PlaybackTest, aTempoChangeAltersOnlyTheEntriesThatFollow)
{
    store({ { 0, 7, 2 }, { 0, 9, 2 }, { 0, 11, 2 } });
    auto next = begin(0);
    rig.m.TempoDurations = tempoDurationsFor(200);
    driveFrom(next);

    EXPECT_EQ(events,
        (std::vector<Event> { { 0, true, 60 }, { 750, false, 60 }, { 750, true, 62 }, { 2250, false, 62 },
            { 2250, true, 64 }, { 3750, false, 64 } }));
}

TEST_F(PlaybackTest, lateCallbacksDelayNotesButNeverAccumulate)
{
    for (int i = 0; i < 40; ++i)
        rig.m.Composition.set(i, { 0, static_cast<int16_t>(i % 36), 3 });
    rig.m.NoteCount = 40;
    rig.m.Composition.set(40, EndEntry);

    driveFrom(begin(0), 30);

    int ons = 0;
    for (const Event& e : events) {
        if (!e.on)
            continue;
        const Millis ideal = 375 * ons++;
        EXPECT_GE(e.at, ideal);
        EXPECT_LE(e.at, ideal + 30) << "note-on " << ons;
    }
    EXPECT_EQ(ons, 40);
    EXPECT_EQ(events.back(), (Event { 40 * 375 + 30, false, 53 + 39 % 36 }));
}

TEST_F(PlaybackTest, startingAgainSilencesTheSoundingNoteAndPlaysFromTheFirstEntry)
{
    store({ { 0, 7, 2 }, { 0, 9, 2 }, { 0, 11, 2 } });
    auto next = begin(0);
    next = playback.advance(*next);
    collect(*next - 750);
    next = begin(1000);
    EXPECT_TRUE(rig.m.Listening);
    driveFrom(next);

    EXPECT_EQ(events,
        (std::vector<Event> { { 0, true, 60 }, { 750, false, 60 }, { 750, true, 62 }, { 1000, false, 62 },
            { 1000, true, 60 }, { 1750, false, 60 }, { 1750, true, 62 }, { 2500, false, 62 }, { 2500, true, 64 },
            { 3250, false, 64 } }));
}

TEST_F(PlaybackTest, stoppingSilencesTheSoundingNoteAndEndsListening)
{
    store({ { 0, 7, 0 }, { 0, 9, 0 } });
    begin(0);
    playback.stop();
    collect(10);

    EXPECT_EQ(events, (std::vector<Event> { { 0, true, 60 }, { 10, false, 60 } }));
    EXPECT_FALSE(rig.m.Listening);
    EXPECT_FALSE(playback.advance(5000).has_value());
    EXPECT_EQ(rig.system.sent.size(), 2u);
}

TEST_F(PlaybackTest, anEmptyCompositionPlaysNothingAndLeavesTheCursorAtTheStart)
{
    EXPECT_FALSE(begin(0).has_value());
    EXPECT_FALSE(rig.m.Listening);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(rig.surface.cursorLeft, 100);
    EXPECT_EQ(rig.m.CursorColumn, 0);
}

TEST_F(PlaybackTest, notesPlayedDuringAPlaybackAreNotStoredButAppendAfterIt)
{
    store({ { 0, 7, 2 }, { 0, 9, 2 }, { 0, 11, 2 } });
    driveFrom(begin(0), 0, [&](Millis) { enterNote(rig.m, rig.surface, true, false, 20, 2); });
    EXPECT_EQ(rig.m.NoteCount, 3);
    EXPECT_EQ(rig.m.WriteIndex, 3);
    EXPECT_EQ(rig.m.CursorColumn, 3);

    rig.m.CurrentDuration = 1;
    enterNote(rig.m, rig.surface, true, false, 20, 1);
    EXPECT_EQ(rig.piece(), (std::vector<Entry> { { 0, 7, 2 }, { 0, 9, 2 }, { 0, 11, 2 }, { 0, 20, 1 } }));
    EXPECT_EQ(rig.m.Composition.at(4), EndEntry);
}

TEST_F(PlaybackTest, theNumberOfEntriesPlayedIsFixedAtTheStartAndTheCursorEndsAfterThePiece)
{
    store({ { 0, 7, 2 }, { 0, 9, 2 }, { 0, 11, 2 } });
    auto next = begin(0);
    newComposition(rig.m, rig.ports);
    driveFrom(next);

    EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const Event& e) { return e.on; }), 3);
    EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const Event& e) { return !e.on; }), 3);
    EXPECT_EQ(rig.m.WriteIndex, 0);
    EXPECT_EQ(rig.m.CursorColumn, 0);
}

TEST_F(PlaybackTest, theCursorWrapsToTheStartOfTheStaffOnEveryPage)
{
    for (int i = 0; i < 60; ++i)
        rig.m.Composition.set(i, { 0, 7, 4 });
    rig.m.NoteCount = 60;
    rig.m.Composition.set(60, EndEntry);
    driveFrom(begin(0));

    EXPECT_EQ(rig.surface.trail.size(), 62u); // the start, 60 entries, the end
    EXPECT_EQ(rig.surface.trail[57], columnX(56));
    EXPECT_EQ(rig.surface.trail[58], columnX(0));
    EXPECT_EQ(rig.surface.trail.back(), columnX(3));
    EXPECT_TRUE(std::all_of(
        rig.surface.trail.begin(), rig.surface.trail.end(), [](int x) { return x >= 100 && x <= columnX(56); }));
    EXPECT_EQ(rig.m.CursorColumn, 3);
    EXPECT_EQ(rig.m.WriteIndex, 60);
}

TEST_F(PlaybackTest, afterAStallThePlaybackResumesAtTheWrittenPaceFromTheEntryThatIsDue)
{
    for (int i = 0; i < 4; ++i)
        rig.m.Composition.set(i, { 0, static_cast<int16_t>(7 + i), 3 });
    rig.m.NoteCount = 4;
    rig.m.Composition.set(4, EndEntry);

    // The first callback comes three seconds late (a box was open), the others on time.
    auto next = begin(0);
    next = playback.advance(*next + 3000);
    collect(*next - 375);
    driveFrom(next);

    std::vector<Millis> ons;
    for (const Event& e : events)
        if (e.on)
            ons.push_back(e.at);
    EXPECT_EQ(ons, (std::vector<Millis> { 0, 3375, 3750, 4125 }));
}

} // namespace
} // namespace zintaro::compose
