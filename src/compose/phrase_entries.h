#pragma once

#include "compose/melody_generator.h"
#include "compose/practice_choices.h"
#include "core/modulo1.h"
#include "core/translation.h"

#include <cstdint>
#include <vector>

namespace zintaro::compose {

// The notes the composition's staff holds: its piano keys, Fa3 to Mi6.
inline constexpr NoteRange CompositionRange { natural(Letter::F, 3), natural(Letter::E, 6) };

// What "Frase nella composizione" asks of the generator: four measures at
// the practice's level, in `key` and `meter` (4/4 for a meter it does not
// offer), over the practice's range held to the composition's staff.
MelodyRequest compositionPhraseRequest(const PracticeChoices& practice, Key key, Meter meter, uint32_t seed);

// Why no phrase could be drawn on the composition's staff: too few notes of
// the range chosen lie on it.
Text tooFewForPhrase(NoteNaming naming);

// The staff a phrase read in time is drawn on: the bass staff when the
// practice reads on it, else the treble staff (the grand staff's phrases
// too). The composition's own pages are always on the treble staff.
Clef timedPhraseClef(const PracticeChoices& practice);

// What a generated phrase read in time asks of the generator: on the bass
// staff the practice's range as chosen, in the bass clef; else as
// compositionPhraseRequest().
MelodyRequest timedPhraseRequest(const PracticeChoices& practice, Key key, Meter meter, uint32_t seed);

// Why no phrase read in time could be drawn: too few notes of the range.
Text tooFewForTimedPhrase(const PracticeChoices& practice, NoteNaming naming);

// The phrase as entries of the composition: each length the value of a
// duration button, dotted for 12, 6 and 3 sixteenths. A length no single
// value gives (the one note of a last measure of 9/8 or 12/8) is written as
// values one after the other, a note's tied, a rest's not. A note's index
// is that of its piano key, counted on beyond the piano's ends for a note
// off it (a phrase of the bass staff reaches below it).
std::vector<Entry> entriesOfPhrase(const Phrase& phrase);

} // namespace zintaro::compose
