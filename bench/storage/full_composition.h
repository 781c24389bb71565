#pragma once

#include "core/modulo1.h"

namespace zintaro::bench {

// A full composition for the file benchmarks: notes, sharps, rests and every
// duration, the cursor after its end.
inline Modulo1 fullComposition()
{
    Modulo1 m;
    for (int i = 0; i < MaxEntries; ++i) {
        const bool rest = i % 9 == 8;
        m.Composition.set(
            i, { rest ? True16 : False16, static_cast<int16_t>(rest ? 0 : i % 36), static_cast<int16_t>(i % 7) });
    }
    m.Composition.set(MaxEntries, EndEntry);
    m.NoteCount = MaxEntries;
    m.WriteIndex = MaxEntries;
    return m;
}

} // namespace zintaro::bench
