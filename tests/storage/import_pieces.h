#pragma once

#include "core/modulo1.h"
#include "core/pitch.h"
#include "storage/imported_piece.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace zintaro::storage {

inline std::ostream& operator<<(std::ostream& out, const ImportedNote& n)
{
    out << (n.pitch ? std::to_string(*n.pitch) : std::string("rest")) << "/" << (64 >> n.value.code)
        << (n.value.dotted ? "." : "") << (n.tiedToNext ? "~" : "");
    return out;
}

} // namespace zintaro::storage

namespace zintaro::testing {

using storage::ImportedNote;
using storage::valuesFilling;
using storage::WrittenValue;

inline ImportedNote note(int pitch, int code, bool dotted = false, bool tied = false)
{
    return { pitch, { code, dotted }, tied };
}
inline ImportedNote rest(int code, bool dotted = false)
{
    return { std::nullopt, { code, dotted }, false };
}

// A piece of the round trips: what the store holds, and how a score writes
// it down (pieces across a bar line tied) when that is not note for note.
struct ExportedPiece {
    const char* name;
    Key key;
    Meter meter;
    std::vector<Entry> entries;
    std::vector<ImportedNote> written = {};

    CompositionStore store() const
    {
        CompositionStore s;
        for (std::size_t i = 0; i < entries.size(); ++i)
            s.set(static_cast<int>(i), entries[i]);
        s.set(static_cast<int>(entries.size()), EndEntry);
        return s;
    }
    int count() const { return static_cast<int>(entries.size()); }

    std::vector<ImportedNote> asScore() const
    {
        if (!written.empty())
            return written;
        std::vector<ImportedNote> notes;
        for (const Entry& e : entries)
            notes.push_back(e.RestFlag != 0 ? rest(e.DurationCode) : note(midiNoteOfKey(e.NoteIndex), e.DurationCode));
        return notes;
    }

    // As a MIDI file sounds it: the rests between two notes are one silence,
    // written in the fewest values; nothing after the last note.
    std::vector<ImportedNote> asSound() const
    {
        std::vector<ImportedNote> notes;
        long long silence = 0;
        for (const Entry& e : entries) {
            if (e.RestFlag != 0) {
                silence += 64 >> e.DurationCode;
                continue;
            }
            for (const WrittenValue& v : valuesFilling(silence, storage::MaxImportedNotes))
                notes.push_back({ std::nullopt, v, false });
            silence = 0;
            notes.push_back(note(midiNoteOfKey(e.NoteIndex), e.DurationCode));
        }
        return notes;
    }
};

// Keys, meters and every value, each piece within its bars but the last.
inline const std::vector<ExportedPiece>& exportedPieces()
{
    static const std::vector<ExportedPiece> pieces = {
        { "c_major_4_4", {}, { 4, 4 },
            { { 0, 7, 2 }, { 0, 9, 2 }, { 0, 11, 1 }, { -1, 0, 0 }, { 0, 35, 3 }, { 0, 0, 3 }, { -1, 0, 2 },
                { 0, 14, 1 } } },
        { "d_major_3_4_short_values", { 2, KeyMode::Major }, { 3, 4 },
            { { 0, 8, 4 }, { 0, 10, 4 }, { 0, 12, 5 }, { 0, 14, 5 }, { 0, 15, 6 }, { 0, 17, 6 }, { 0, 18, 6 },
                { 0, 20, 6 }, { -1, 0, 3 }, { 0, 22, 2 }, { 0, 25, 3 }, { 0, 22, 1 }, { 0, 20, 2 } } },
        { "b_flat_minor_6_8", { -5, KeyMode::Minor }, { 6, 8 },
            { { 0, 3, 3 }, { 0, 6, 3 }, { 0, 10, 3 }, { -1, 0, 3 }, { 0, 13, 2 }, { 0, 15, 3 }, { 0, 20, 3 },
                { 0, 18, 3 } } },
        { "e_major_2_4_across_the_bar", { 4, KeyMode::Major }, { 2, 4 }, { { 0, 11, 2 }, { 0, 16, 1 }, { 0, 23, 2 } },
            { note(64, 2), note(69, 2, false, true), note(69, 2), note(76, 2) } },
    };
    return pieces;
}

} // namespace zintaro::testing
