#include "staff/score_layout.h"
#include "support/piece_entries.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

namespace zintaro::staff {

namespace {

using testing::notesOf;
using testing::storeOf;

// Random pieces laid out on narrow and wide frames, with and without names:
// every entry is placed once and in order, systems break at bar lines into
// at most four measures and stay within the width, bars stand between their
// measure and the next, and pages hold the systems the frame allows.
TEST(ScoreLayout, randomPiecesKeepEveryEntryInOrderWithinWholeMeasures)
{
    std::mt19937 random(7);
    for (int run = 0; run < 60; ++run) {
        SCOPED_TRACE(run);
        const int count = static_cast<int>(random() % 300);
        std::vector<Entry> entries;
        // Mostly short values, so that some measures are too wide for a system.
        const bool dense = run % 3 == 0;
        for (int i = 0; i < count; ++i) {
            const auto code = static_cast<int16_t>(dense ? 4 + random() % 3 : random() % 7);
            entries.push_back({ random() % 4 == 0 ? True16 : False16, static_cast<int16_t>(random() % 36), code });
        }
        const CompositionStore store = storeOf(entries);
        ScoreFrame frame;
        frame.systemWidth = run % 2 == 0 ? 60 : 150;
        frame.names = run % 4 < 2;
        frame.firstPageSystems = 3;
        frame.pageSystems = 5;
        const auto pages = layOutScore(store, count, frame);
        const auto measures = measuresOf(store, count);

        ASSERT_FALSE(pages.empty());
        std::vector<int> placed;
        std::vector<PlacedBar> bars;
        const ScoreSystem* previous = nullptr;
        for (size_t p = 0; p < pages.size(); ++p) {
            const auto& systems = pages[p].systems;
            ASSERT_FALSE(systems.empty());
            EXPECT_LE(static_cast<int>(systems.size()), p == 0 ? frame.firstPageSystems : frame.pageSystems);
            for (const ScoreSystem& s : systems) {
                EXPECT_LE(s.width, frame.systemWidth + 1e-9);
                EXPECT_LE(s.bars.size(), size_t(MeasuresPerSystem));
                double left = SystemHeaderWidth;
                for (const PlacedEntry& e : s.entries) {
                    EXPECT_GT(e.x, left);
                    EXPECT_LT(e.x, s.width);
                    left = e.x;
                    placed.push_back(e.position);
                }
                if (!s.entries.empty()) {
                    // A system starts a measure, unless a measure too wide
                    // for the one before went on into it.
                    const int first = s.entries.front().position;
                    const bool startsMeasure = std::any_of(
                        measures.begin(), measures.end(), [&](const Measure& m) { return m.first == first; });
                    EXPECT_TRUE(startsMeasure || (previous && std::abs(previous->width - frame.systemWidth) < 1e-9))
                        << "system from " << first;
                }
                previous = &s;
                for (const PlacedBar& b : s.bars) {
                    EXPECT_LE(b.x, s.width + 1e-9);
                    bars.push_back(b);
                }
            }
        }
        std::vector<int> expected(static_cast<size_t>(count));
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(placed, expected);

        size_t closed = 0;
        for (const Measure& m : measures)
            if (m.closed) {
                ASSERT_LT(closed, bars.size());
                EXPECT_EQ(bars[closed].red, m.red);
                EXPECT_EQ(bars[closed].final, m.end == count);
                ++closed;
            }
        EXPECT_EQ(bars.size(), closed);
    }
}

TEST(ScoreLayout, aMeasureWiderThanASystemGoesOnOverTheNextWithoutABarAtTheBreak)
{
    const CompositionStore store = storeOf(std::vector<Entry>(64, Entry { False16, 12, 6 }));
    ScoreFrame frame;
    frame.systemWidth = 150;
    frame.names = true;
    const auto pages = layOutScore(store, 64, frame);
    ASSERT_EQ(pages.size(), 1u);
    const auto& systems = pages[0].systems;
    ASSERT_EQ(systems.size(), 2u);
    EXPECT_TRUE(systems[0].bars.empty());
    EXPECT_NEAR(systems[0].width, frame.systemWidth, 1e-9) << "the broken part fills its system";
    ASSERT_EQ(systems[1].bars.size(), 1u);
    EXPECT_TRUE(systems[1].bars[0].final);
    EXPECT_EQ(systems[0].entries.size() + systems[1].entries.size(), 64u);
}

TEST(ScoreLayout, fourMeasuresFillASystemAndAShortLastSystemKeepsItsNaturalSpacing)
{
    const CompositionStore store = storeOf(notesOf({ 2, 2, 2, 2, 0, 1, 1, 0, 2, 2, 2, 2, 0 }));
    ScoreFrame frame;
    frame.systemWidth = 150;
    const auto pages = layOutScore(store, 13, frame);
    ASSERT_EQ(pages.size(), 1u);
    const auto& systems = pages[0].systems;
    ASSERT_EQ(systems.size(), 2u);
    EXPECT_EQ(systems[0].bars.size(), 4u);
    EXPECT_NEAR(systems[0].bars.back().x, frame.systemWidth, 1e-9) << "a full system reaches the right margin";
    ASSERT_EQ(systems[1].bars.size(), 2u);
    EXPECT_LT(systems[1].width, frame.systemWidth / 3);
    EXPECT_FALSE(systems[1].bars[0].final);
    EXPECT_TRUE(systems[1].bars[1].final);
}

TEST(ScoreLayout, anEmptyPieceGivesOnePageWithAnEmptySystemAcrossIt)
{
    const auto pages = layOutScore(CompositionStore {}, 0, ScoreFrame {});
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].systems.size(), 1u);
    EXPECT_TRUE(pages[0].systems[0].entries.empty());
    EXPECT_EQ(pages[0].systems[0].width, ScoreFrame {}.systemWidth);
}

} // namespace
} // namespace zintaro::staff
