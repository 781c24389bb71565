#pragma once

#include "core/key_meter.h"
#include "core/modulo1.h"

#include <string>
#include <string_view>

namespace zintaro::storage {

// Whether an entry of the piece goes into an exported file: a rest, or a note
// on the piano, of a duration code 0..6. A loaded file may hold other values,
// which have no length or no pitch to export; the exports skip them.
constexpr bool isExportable(Entry e)
{
    return e.DurationCode >= 0 && e.DurationCode <= 6 && (e.RestFlag != 0 || isPianoNote(e.NoteIndex));
}

// A Standard MIDI File (format 0, 480 ticks per quarter) of the piece at
// positions 0 .. noteCount − 1: the meter's time signature, the key
// signature unless the key is C major, the tempo as the microseconds of a
// quarter, the program change, then every note on channel 0 at velocity 127
// with its note-off after its exact length (a whole note 1920 ticks); rests
// are time. The track ends after the last entry.
std::string writeMidiFile(
    const CompositionStore& store, int noteCount, int quarterMicros, int program, Key key = {}, Meter meter = {});

// A partwise MusicXML 4.0 score of the piece: one part named partName,
// treble clef, the key and the meter, 16 divisions per quarter, a measure for
// every measure's worth from the start; a note or rest that crosses a bar
// line is split there (a note into tied notes). Notes are spelled in the key
// and show an accidental only where a printed score does. With lyrics, every
// note carries its name as written, in solfège or in letters.
std::string writeMusicXml(const CompositionStore& store, int noteCount, std::string_view partName, bool withLyrics,
    NoteNaming naming = NoteNaming::Solfege, Key key = {}, Meter meter = {});

} // namespace zintaro::storage
