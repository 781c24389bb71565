#include "compose/note_entry.h"
#include "core/dialogs.h"
#include "core/modulo1.h"
#include "staff/staff.h"
#include "staff/staff_widget.h"
#include "support/recording_surface.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

using namespace zintaro;

class SilentDialogs : public Dialogs {
public:
    void message(const Text&, const Text&) override { }
    bool question(const Text&, const Text&) override { return true; }
};

// A full page of sixty-fourth notes, the most marks a page can hold: a
// redraw clears, lays out the staff, draws every entry again and the bars.
void redrawFullPage(staff::StaffSurface& surface, benchmark::State& state)
{
    Modulo1 m;
    SilentDialogs dialogs;
    for (int i = 0; i < StaffColumns; ++i)
        m.Composition.set(i, { 0, static_cast<int16_t>(i % 36), 6 });
    m.NoteCount = StaffColumns;
    m.Composition.set(m.NoteCount, EndEntry);

    for (auto _ : state) {
        surface.clear();
        staff::drawStaff(compose::lookOf(m), surface);
        m.CursorColumn = 0;
        m.WriteIndex = 0;
        for (int i = 0; i < StaffColumns; ++i) {
            const Entry e = m.Composition.at(i);
            compose::enterNote(m, surface, false, e.RestFlag != 0, e.NoteIndex, e.DurationCode);
        }
        staff::drawBars(compose::lookOf(m, 0), surface, compose::pageOf(m, 0));
    }
}

// One key press in "Componi": draw, store, advance; the piece starts again
// before the store fills up, and the page turns every 57 entries.
void enterOneNote(staff::StaffSurface& surface, benchmark::State& state)
{
    Modulo1 m;
    SilentDialogs dialogs;
    m.CurrentDuration = 3;
    int16_t note = 0;
    for (auto _ : state) {
        if (m.NoteCount >= MaxEntries - 1) {
            m.NoteCount = 0;
            m.WriteIndex = 0;
        }
        compose::enterNote(m, surface, true, false, note, 3);
        note = static_cast<int16_t>((note + 5) % 36);
    }
    benchmark::DoNotOptimize(m.Composition.NoteIndex.data());
}

void BM_RedrawFullPage_Recording(benchmark::State& state)
{
    testing::RecordingSurface surface;
    redrawFullPage(surface, state);
}
BENCHMARK(BM_RedrawFullPage_Recording)->Unit(benchmark::kMicrosecond);

void BM_EnterNote_Recording(benchmark::State& state)
{
    testing::RecordingSurface surface;
    enterOneNote(surface, state);
}
BENCHMARK(BM_EnterNote_Recording)->Unit(benchmark::kMicrosecond);

std::unique_ptr<staff::StaffWidget> makeWidget()
{
    auto widget = std::make_unique<staff::StaffWidget>();
    widget->resize(1245, 150);
    widget->createRestImages();
    return widget;
}

void BM_RedrawFullPage_Widget(benchmark::State& state)
{
    auto widget = makeWidget();
    redrawFullPage(*widget, state);
}
BENCHMARK(BM_RedrawFullPage_Widget)->Unit(benchmark::kMicrosecond);

void BM_EnterNote_Widget(benchmark::State& state)
{
    auto widget = makeWidget();
    enterOneNote(*widget, state);
}
BENCHMARK(BM_EnterNote_Widget)->Unit(benchmark::kMicrosecond);

} // namespace
