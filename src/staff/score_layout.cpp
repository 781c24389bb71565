#include "staff/score_layout.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zintaro::staff {

namespace {

// The room an entry takes across, by duration code: longer notes get more,
// though not in proportion, and even the shortest leave their flags clear
// of the next stem.
constexpr std::array<double, 7> Advance = { 5.6, 3.9, 2.9, 2.4, 2.25, 2.15, 2.05 };
// A name under each note is about this wide in the engraver's lettering.
constexpr double NamedAdvance = 3.0;
constexpr double SignRoom = 1.3;
constexpr double DotRoom = 0.7;
constexpr double HeadHalfWidth = 0.65;
constexpr double BarGap = 1.1; // from a bar line to the next entry's room
// A last system shorter than this share of the width keeps its natural spacing.
constexpr double StretchLastFrom = 0.7;

bool placed(const CompositionStore& store, int position)
{
    const int16_t code = store.DurationCode[static_cast<size_t>(position)];
    return code >= 0 && code < static_cast<int16_t>(Advance.size());
}

// The room of one entry: where its head stands in it, and how wide it is
// before and after stretching.
struct Slot {
    double before = 0; // from the slot's left edge to the head's centre
    double stretchable = 0;
};

Slot slotOf(const CompositionStore& store, int position, bool names, bool withSign)
{
    if (!placed(store, position))
        return {};
    const Entry e = store.at(position);
    double advance = Advance[static_cast<size_t>(e.DurationCode)];
    if (e.Dotted)
        advance += DotRoom;
    if (names && e.RestFlag == 0)
        advance = std::max(advance, NamedAdvance);
    const double sign = withSign ? SignRoom : 0;
    return { sign + HeadHalfWidth, sign + advance };
}

double naturalWidth(
    const CompositionStore& store, const std::vector<WrittenNote>& written, const Measure& m, bool names)
{
    double width = BarGap;
    for (int p = m.first; p < m.end; ++p)
        width += slotOf(store, p, names, written[static_cast<size_t>(p)].printed.has_value()).stretchable;
    return width;
}

class SystemBuilder {
public:
    SystemBuilder(const CompositionStore& store, const std::vector<WrittenNote>& written, const ScoreFrame& frame)
        : m_store(store)
        , m_written(written)
        , m_frame(frame)
        , m_header(systemHeaderWidth(frame.key))
    {
    }

    double width(const Measure& m) const { return naturalWidth(m_store, m_written, m, m_frame.names); }

    bool empty() const { return m_measures.empty(); }
    int measureCount() const { return static_cast<int>(m_measures.size()); }
    double usedWidth() const { return m_used; }
    double room() const { return m_frame.systemWidth - m_header; }

    void add(const Measure& m)
    {
        m_measures.push_back(m);
        m_used += width(m);
    }

    ScoreSystem finish(bool lastOfPiece)
    {
        ScoreSystem system;
        double stretch = 1;
        const double fixed = BarGap * static_cast<double>(m_measures.size());
        const double natural = m_used - fixed;
        if (natural > 0 && (!lastOfPiece || m_used >= StretchLastFrom * room()))
            stretch = std::max(1.0, (room() - fixed) / natural);
        double x = m_header;
        for (size_t i = 0; i < m_measures.size(); ++i) {
            const Measure& m = m_measures[i];
            x += BarGap;
            for (int p = m.first; p < m.end; ++p) {
                if (!placed(m_store, p))
                    continue;
                const WrittenNote& written = m_written[static_cast<size_t>(p)];
                const Slot slot = slotOf(m_store, p, m_frame.names, written.printed.has_value());
                system.entries.push_back({ p, x + slot.before, written.printed, written.spelling });
                x += slot.stretchable * stretch;
            }
            if (m.closed)
                system.bars.push_back({ x, m.red, lastOfPiece && i + 1 == m_measures.size() });
        }
        system.width = m_measures.empty() ? m_frame.systemWidth : x;
        m_measures.clear();
        m_used = 0;
        return system;
    }

private:
    const CompositionStore& m_store;
    const std::vector<WrittenNote>& m_written;
    const ScoreFrame& m_frame;
    double m_header = SystemHeaderWidth;
    std::vector<Measure> m_measures;
    double m_used = 0;
};

} // namespace

double systemHeaderWidth(Key key)
{
    return SystemHeaderWidth + SignatureSignWidth * static_cast<double>(signatureLetters(key).size());
}

std::vector<ScorePage> layOutScore(const CompositionStore& store, int noteCount, const ScoreFrame& frame)
{
    std::vector<ScoreSystem> systems;
    const std::vector<WrittenNote> written = writeOut(store, noteCount, frame.key, frame.meter);
    SystemBuilder builder(store, written, frame);
    const std::vector<Measure> measures = measuresOf(store, noteCount, frame.meter);
    for (size_t i = 0; i < measures.size(); ++i) {
        Measure m = measures[i];
        const bool last = i + 1 == measures.size();
        if (!builder.empty()
            && (builder.measureCount() == MeasuresPerSystem || builder.usedWidth() + builder.width(m) > builder.room()))
            systems.push_back(builder.finish(false));
        // A measure wider than a whole system goes on over the next ones,
        // broken between two entries, with no bar at the break.
        while (builder.width(m) > builder.room() && m.end - m.first > 1) {
            Measure part = m;
            part.closed = false;
            // As many entries as the system holds, one at least.
            part.end = m.first + 1;
            while (part.end < m.end) {
                Measure longer = part;
                ++longer.end;
                if (builder.width(longer) > builder.room())
                    break;
                part = longer;
            }
            if (part.end == m.end)
                break;
            builder.add(part);
            systems.push_back(builder.finish(false));
            m.first = part.end;
        }
        builder.add(m);
        if (last)
            systems.push_back(builder.finish(true));
    }
    if (systems.empty())
        systems.push_back(builder.finish(true));

    std::vector<ScorePage> pages;
    size_t next = 0;
    while (next < systems.size()) {
        const auto take = static_cast<size_t>(std::max(1, pages.empty() ? frame.firstPageSystems : frame.pageSystems));
        const size_t end = std::min(systems.size(), next + take);
        pages.push_back({ { systems.begin() + static_cast<std::ptrdiff_t>(next),
            systems.begin() + static_cast<std::ptrdiff_t>(end) } });
        next = end;
    }
    return pages;
}

} // namespace zintaro::staff
