#pragma once

// The listening test set: instruments of the General MIDI SoundFont over
// the staves they read, judged against their written notes.

#include "compose/played_instrument.h"
#include "listen/rendered_notes.h"

namespace zintaro::listen::testing {

using zintaro::compose::PlayedInstrument;

// The written ranges offered on each staff: Fa3–Mi6 and Do2–Mi4.
inline constexpr int TrebleLowest = 53;
inline constexpr int TrebleHighest = 88;
inline constexpr int BassLowest = 36;
inline constexpr int BassHighest = 64;

struct Player {
    const char* name;
    int program;
    PlayedInstrument instrument;
    int lowestWritten;
    int highestWritten;
};

// Each instrument over the staff it reads; the voice and the bass
// instruments over the bass staff too.
inline constexpr Player Players[] {
    { "flute", Flute, PlayedInstrument::Flute, TrebleLowest, TrebleHighest },
    { "violin", Violin, PlayedInstrument::Violin, TrebleLowest, TrebleHighest },
    { "clarinet", Clarinet, PlayedInstrument::ClarinetInBFlat, TrebleLowest, TrebleHighest },
    { "trumpet", Trumpet, PlayedInstrument::TrumpetInBFlat, TrebleLowest, TrebleHighest },
    { "horn", FrenchHorn, PlayedInstrument::HornInF, TrebleLowest, TrebleHighest },
    { "guitar", NylonGuitar, PlayedInstrument::Guitar, TrebleLowest, TrebleHighest },
    { "choir, treble", VoiceOohs, PlayedInstrument::Piano, TrebleLowest, TrebleHighest },
    { "choir, bass", VoiceOohs, PlayedInstrument::Piano, BassLowest, BassHighest },
    { "cello", Cello, PlayedInstrument::Piano, BassLowest, BassHighest },
    { "bassoon", Bassoon, PlayedInstrument::Piano, BassLowest, BassHighest },
    { "trombone", Trombone, PlayedInstrument::Piano, BassLowest, BassHighest },
};

inline Judged judgePlayer(zintaro::midi::FluidSynthEngine& synth, const Player& player, Room room, int step)
{
    std::vector<int> sounding;
    for (int note = player.lowestWritten; note <= player.highestWritten; note += step)
        sounding.push_back(zintaro::compose::soundingNote(player.instrument, note));
    const auto range = zintaro::compose::listeningRange(player.instrument, player.lowestWritten, player.highestWritten);
    return judge(renderNotes(synth, player.program, sounding, room),
        DetectorSettings { RenderRate, range.lowest, range.highest, StandardTuning },
        [&](int heard, int) { return zintaro::compose::writtenNote(player.instrument, heard); });
}

} // namespace zintaro::listen::testing
