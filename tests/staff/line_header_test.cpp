#include "staff/staff.h"
#include "support/recording_surface.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace zintaro::staff {
namespace {

using testing::RecordingSurface;
using Kind = RecordingSurface::Kind;

// Every key with and without a meter, as on a piece's first line and on the
// lines after it: the signature's signs and the meter's figures are drawn
// after the clef, the first column keeps room for a sign before its head
// clear of them, and the last column stays where the staff ends.
TEST(LineHeaders, everyKeyAndMeterIsDrawnAfterTheClefAndTheColumnsMakeRoom)
{
    for (int fifths = -MostAccidentals; fifths <= MostAccidentals; ++fifths) {
        for (const Meter meter : offeredMeters()) {
            for (const bool firstLine : { true, false }) {
                SCOPED_TRACE(std::to_string(fifths) + " " + meterText(meter) + (firstLine ? " first" : " later"));
                const Look look { 1, true, NoteNaming::Solfege, { fifths },
                    firstLine ? std::optional(meter) : std::nullopt };
                RecordingSurface s;
                drawStaff(look, s);
                const auto signs = s.marksOf(fifths > 0 ? Kind::Sharp : Kind::Flat);
                EXPECT_EQ(static_cast<int>(s.marks.size()), std::abs(fifths)) << "the signature and nothing else";
                EXPECT_EQ(static_cast<int>(signs.size()), std::abs(fifths));
                ASSERT_EQ(s.texts.size(), firstLine ? 2u : 0u);
                float headerEnd = 58; // the clef's right edge
                for (const auto& m : signs) {
                    EXPECT_GT(m.x1, 58.0F);
                    headerEnd = std::max(headerEnd, m.x2);
                }
                if (firstLine) {
                    EXPECT_EQ(s.texts[0].text, std::to_string(meter.beats));
                    EXPECT_EQ(s.texts[1].text, std::to_string(meter.unit));
                    EXPECT_GT(s.texts[0].left, static_cast<int>(headerEnd)) << "the meter follows the signature";
                    const auto figures = static_cast<float>(std::to_string(meter.beats).size());
                    headerEnd = static_cast<float>(s.texts[0].left) + 12 * figures;
                }

                const ColumnGrid grid = columnGrid(look);
                EXPECT_EQ(grid.centre(StaffColumns - 1), 1220);
                EXPECT_GE(grid.pitch, 17.0) << "room for a sign between two heads";
                RecordingSurface first;
                drawSignBefore(look, first, Accidental::Sharp, 20, 0);
                ASSERT_EQ(first.marks.size(), 1u);
                EXPECT_GT(first.marks[0].x1, headerEnd) << "the first note's sign stands clear of the header";
                if (fifths == 0 && meter.beats < 10) {
                    EXPECT_EQ(grid.centre(0), 100) << "a piece in C keeps the columns it always had";
                }
            }
        }
    }
}

} // namespace
} // namespace zintaro::staff
