#include "core/modulo1.h"
#include "staff/staff.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>
#include <vector>

namespace zintaro::staff {
namespace {

using testing::RecordingSurface;

struct Bar {
    float x;
    Rgb colour;
    friend bool operator==(const Bar&, const Bar&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Bar& b) { return os << b.x << "/" << b.colour; }
};

Modulo1 pieceOf(const std::vector<int16_t>& durations)
{
    Modulo1 m;
    for (int i = 0; i < static_cast<int>(durations.size()); ++i)
        m.Composition.set(i, { 0, 7, durations[i] });
    m.NoteCount = static_cast<int>(durations.size());
    m.Composition.set(m.NoteCount, EndEntry);
    return m;
}

// The bars after the opening one, which must come first on every page.
std::vector<Bar> barsOf(const Modulo1& m, int page, Meter meter = {})
{
    RecordingSurface s;
    drawBars(Look {}, s, PageView { m.Composition, m.NoteCount, page, meter });
    const auto marks = s.marksOf(RecordingSurface::Kind::FilledRectangle);
    EXPECT_EQ(marks.size(), s.marks.size());
    std::vector<Bar> bars;
    for (size_t i = 0; i < marks.size(); ++i) {
        const auto& r = marks[i];
        EXPECT_EQ(r.x2, r.x1 + 1);
        EXPECT_EQ(r.y1, 50);
        EXPECT_EQ(r.y2, 90);
        if (i == 0)
            EXPECT_EQ((Bar { r.x1, r.colour }), (Bar { 90, Black }));
        else
            bars.push_back({ r.x1, r.colour });
    }
    return bars;
}

std::vector<int16_t> withQuartersUpTo(std::vector<int16_t> head, size_t count)
{
    head.resize(count, 2);
    return head;
}

struct BarCase {
    const char* name;
    std::vector<int16_t> durations;
    int page;
    std::vector<Bar> bars;
};

class BarTable : public ::testing::TestWithParam<BarCase> { };

TEST_P(BarTable, barsCloseEachWholeMeasure)
{
    const BarCase& c = GetParam();
    EXPECT_EQ(barsOf(pieceOf(c.durations), c.page), c.bars);
}

INSTANTIATE_TEST_SUITE_P(Staff, BarTable,
    ::testing::Values(BarCase { "fourQuarters", { 2, 2, 2, 2 }, 0, { { 170, Black } } },
        BarCase { "overfullMeasureTurnsLaterBarsRed", { 1, 2, 1, 2, 2, 2, 2 }, 0, { { 150, Red }, { 230, Red } } },
        BarCase { "eightEighthsThenAWhole", { 3, 3, 3, 3, 3, 3, 3, 3, 0 }, 0, { { 250, Black }, { 270, Black } } },
        BarCase { "incompleteLastMeasure", { 2, 2, 2, 2, 2, 2 }, 0, { { 170, Black } } },
        BarCase { "emptyComposition", {}, 0, {} },
        // A half and then quarters: measures end at positions 2, 6, 10, ...;
        // on the second page that is 58 and 62, in columns 1 and 5.
        BarCase { "secondPageCountsFromTheStart", withQuartersUpTo({ 1 }, 66), 1, { { 130, Black }, { 210, Black } } },
        BarCase { "redCarriesOntoTheSecondPage", withQuartersUpTo({ 1, 2, 1 }, 66), 1, { { 130, Red }, { 210, Red } } },
        BarCase { "secondPageBarsStayOffTheFirst", withQuartersUpTo({ 2, 2, 2 }, 64), 0,
            { { 170, Black }, { 250, Black }, { 330, Black }, { 410, Black }, { 490, Black }, { 570, Black },
                { 650, Black }, { 730, Black }, { 810, Black }, { 890, Black }, { 970, Black }, { 1050, Black },
                { 1130, Black }, { 1210, Black } } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Bars, barsFollowTheMeter)
{
    // Six quarters: a bar after each measure's last column, at 20 × column + 110.
    const Modulo1 m = pieceOf({ 2, 2, 2, 2, 2, 2 });
    EXPECT_EQ(barsOf(m, 0, { 3, 4 }), (std::vector<Bar> { { 150, Black }, { 210, Black } }));
    EXPECT_EQ(barsOf(m, 0, { 2, 4 }), (std::vector<Bar> { { 130, Black }, { 170, Black }, { 210, Black } }));
    EXPECT_EQ(barsOf(m, 0, { 6, 8 }), (std::vector<Bar> { { 150, Black }, { 210, Black } }));
    EXPECT_EQ(barsOf(m, 0, { 3, 8 }), (std::vector<Bar> { { 130, Red }, { 170, Red }, { 210, Red } }));
    EXPECT_EQ(barsOf(m, 0, { 12, 8 }), (std::vector<Bar> { { 210, Black } }));
}

TEST(Bars, aDurationFarBeyondTheShortestVanishesInTheSum)
{
    // 1/2^30 is lost next to one half in single precision, so the measure
    // closes exactly at one whole and its bar stays black.
    EXPECT_EQ(barsOf(pieceOf({ 1, 30, 1 }), 0), (std::vector<Bar> { { 150, Black } }));
}

} // namespace
} // namespace zintaro::staff
