#pragma once

#include "core/modulo1.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace zintaro::testing {

// A store holding the entries and the end marker after them.
inline CompositionStore storeOf(const std::vector<Entry>& entries)
{
    CompositionStore store;
    for (size_t i = 0; i < entries.size(); ++i)
        store.set(static_cast<int>(i), entries[i]);
    store.set(static_cast<int>(entries.size()), EndEntry);
    return store;
}

// Notes on one line of the staff, of the durations given.
inline std::vector<Entry> notesOf(std::initializer_list<int16_t> codes)
{
    std::vector<Entry> entries;
    for (const int16_t code : codes)
        entries.push_back({ False16, 7, code });
    return entries;
}

// The entries with the values at `positions` dotted.
inline std::vector<Entry> dottedAt(std::vector<Entry> entries, std::initializer_list<int> positions)
{
    for (const int p : positions)
        entries[static_cast<size_t>(p)].Dotted = true;
    return entries;
}

} // namespace zintaro::testing
