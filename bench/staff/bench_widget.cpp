#include "staff/staff_widget.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

using zintaro::staff::Black;
using zintaro::staff::StaffWidget;

// A shown staff surface in the normal layout; each iteration ends with the
// event loop painting what the marks touched, as the window would.
struct ShownSurface {
    ShownSurface()
    {
        pn.setGeometry(0, 0, 1257, 167);
        pn.createRestImages();
        pn.show();
        QApplication::processEvents();
    }
    StaffWidget pn;
};

// The marks of one page of 57 sixteenth notes (head, stem, ledger line and
// two flags of three lines each) and its bars, then the repaint.
void BM_PageOfMarksPainted(benchmark::State& state)
{
    ShownSurface s;
    for (auto _ : state) {
        s.pn.clear();
        for (int c = 0; c < 57; ++c) {
            const float x = float(20 * c + 100);
            s.pn.setFillSolid(true);
            s.pn.circle(x, 90, 4);
            s.pn.rectangle(x - 8, 90, x + 8, 91, Black);
            s.pn.rectangle(x + 4, 100, x + 5, 70, Black);
            for (int k = 0; k < 2; ++k)
                for (int j = 0; j < 3; ++j)
                    s.pn.line(x + 4, float(70 + 6 * k + j), x + 12, float(78 + 6 * k + j), Black);
            if (c % 4 == 3)
                s.pn.filledRectangle(x + 10, 50, x + 11, 90, Black);
        }
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PageOfMarksPainted)->Unit(benchmark::kMicrosecond);

// One note head added to a full surface: only the touched pixels are painted again.
void BM_OneMarkPainted(benchmark::State& state)
{
    ShownSurface s;
    int c = 0;
    for (auto _ : state) {
        s.pn.setFillSolid(true);
        s.pn.circle(float(20 * c + 100), 60, 4);
        c = (c + 1) % 57;
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OneMarkPainted)->Unit(benchmark::kMicrosecond);

} // namespace
