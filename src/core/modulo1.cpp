#include "core/modulo1.h"

#include <algorithm>
#include <cmath>

namespace zintaro {

void recomputeTempoDurations(Modulo1& m, int tempo)
{
    m.TempoDurations = tempoDurationsFor(tempo);
}

double entryLength(Entry e)
{
    const double plain = std::ldexp(1.0, -e.DurationCode);
    return e.Dotted ? plain * 1.5 : plain;
}

bool tieHolds(const CompositionStore& store, int noteCount, int position)
{
    if (position < 0 || position + 1 >= std::min(noteCount, MaxEntries + 1))
        return false;
    const Entry e = store.at(position);
    const Entry next = store.at(position + 1);
    return e.TiedToNext && e.RestFlag == 0 && next.RestFlag == 0 && next.NoteIndex == e.NoteIndex;
}

void dropBrokenTies(CompositionStore& store, int noteCount)
{
    for (int p = 0; p < std::min(noteCount, MaxEntries); ++p) {
        Entry e = store.at(p);
        if (e.TiedToNext && !tieHolds(store, noteCount, p)) {
            e.TiedToNext = false;
            store.set(p, e);
        }
    }
}

} // namespace zintaro
