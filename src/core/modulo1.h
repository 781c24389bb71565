#pragma once

#include "core/key_meter.h"
#include "core/note_model.h"
#include "core/pitch.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zintaro {

inline constexpr int StorePositions = 1001;
inline constexpr int MaxEntries = StorePositions - 1; // the last position is for the end marker
inline constexpr int16_t EndMarker = 111;
inline constexpr int StaffColumns = 57;

// Booleans stored as numbers, as in the composition files.
inline constexpr int16_t True16 = -1;
inline constexpr int16_t False16 = 0;

struct Entry {
    int16_t RestFlag = 0; // 0 a note, -1 a rest, 111 the end marker
    int16_t NoteIndex = 0;
    int16_t DurationCode = 0;
    bool Dotted = false; // the value lasts half as long again
    bool TiedToNext = false; // the next entry, a note of the same pitch, sounds on from this one

    friend bool operator==(const Entry&, const Entry&) = default;
};

inline constexpr Entry EndEntry { EndMarker, EndMarker, EndMarker };

// The marks an entry's value may carry beside its duration code, as bits of
// the store's fourth row.
inline constexpr uint8_t DotMark = 1;
inline constexpr uint8_t TieMark = 2;

// The composition store: three parallel rows of 1001 values, and a fourth
// of the marks (dot, tie) that the first three cannot say. The piece is
// positions 0 .. NoteCount − 1 and the end marker stands at NoteCount.
struct CompositionStore {
    std::array<int16_t, StorePositions> RestFlag {};
    std::array<int16_t, StorePositions> NoteIndex {};
    std::array<int16_t, StorePositions> DurationCode {};
    std::array<uint8_t, StorePositions> Marks {};

    CompositionStore() { clear(); }

    Entry at(int position) const
    {
        const auto marks = Marks[static_cast<std::size_t>(position)];
        return { RestFlag[position], NoteIndex[position], DurationCode[position], (marks & DotMark) != 0,
            (marks & TieMark) != 0 };
    }
    void set(int position, Entry e)
    {
        RestFlag[position] = e.RestFlag;
        NoteIndex[position] = e.NoteIndex;
        DurationCode[position] = e.DurationCode;
        Marks[static_cast<std::size_t>(position)]
            = static_cast<uint8_t>((e.Dotted ? DotMark : 0) | (e.TiedToNext ? TieMark : 0));
    }

    // The empty state: all zero but a rest flag at position 0.
    void clear()
    {
        RestFlag.fill(0);
        NoteIndex.fill(0);
        DurationCode.fill(0);
        Marks.fill(0);
        RestFlag[0] = True16;
    }
};

// An entry's written length in whole notes: 1/2 for code 1, 3/4 dotted.
double entryLength(Entry e);

// Whether the entry at `position` is a note tied to the next, and the next
// is a note of the same key within the piece: the two sound as one.
bool tieHolds(const CompositionStore& store, int noteCount, int position);

// Takes away every tie that no longer holds (an edit put a rest, another
// note or the end of the piece after it).
void dropBrokenTies(CompositionStore& store, int noteCount);

// The state that every part of the program shares. One object per program
// run (and per test), passed by reference.
//
// Positions and columns: WriteIndex is the position in the piece that the
// next entry writes; the staff shows one page of 57 columns at a time, so the
// cursor's column is WriteIndex mod 57 and the page shown is WriteIndex / 57.
struct Modulo1 {
    CompositionStore Composition;
    int NoteCount = 0;
    int16_t WriteIndex = 0;
    int CursorColumn = 0;
    int16_t CurrentDuration = 0;
    bool SpeakNames = false;
    bool Listening = false;
    int16_t DrawScale = 1;
    std::array<double, 4> TempoDurations { 3000, 1500, 750, 375 };

    // Mirrors of the switches that the rules read: "Scrivi" (write the note
    // names), "Muto" and "Scala".
    bool WriteNames = true;
    bool Mute = false;
    bool ScaleWalk = false;
    // "Do Re Mi" or "C D E": how names are written and spoken.
    NoteNaming Naming = NoteNaming::Solfege;
    // The note the name labels were last given, so that they follow a
    // change of naming.
    int16_t NamedNote = -1;
    // The piece's key signature and meter: how its notes are written and
    // where its bars fall.
    Key PieceKey;
    Meter PieceMeter;

    // The piece is full when appending would leave no position for the end marker.
    bool isFull() const { return NoteCount >= MaxEntries; }
    int pageOf(int position) const { return position / StaffColumns; }
    int columnOf(int position) const { return position % StaffColumns; }
};

// Fills TempoDurations from a tempo number.
void recomputeTempoDurations(Modulo1& m, int tempo);

} // namespace zintaro
