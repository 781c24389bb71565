#pragma once

#include "core/translation.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zintaro::compose {

// The instrument the student answers with at the microphone. A transposing
// instrument sounds another note than the one it reads: the student reads
// the staff's note and plays it, so what the microphone hears is moved back
// to the written note before it is judged.
enum class PlayedInstrument : uint8_t {
    Piano,
    Voice,
    Flute,
    Violin,
    Guitar,
    ClarinetInBFlat,
    TrumpetInBFlat,
    AltoSaxInEFlat,
    HornInF,
};

struct PlayedInstrumentInfo {
    PlayedInstrument instrument;
    // The menu's words (translated where they are shown).
    const char* name;
    // Semitones from the written note to the note heard: −2 for the B♭
    // clarinet, which sounds B♭3 for a written C4.
    int soundingOffset;
    // The word kept among the remembered choices.
    std::string_view word;
};

inline constexpr std::array<PlayedInstrumentInfo, 9> PlayedInstruments { {
    { PlayedInstrument::Piano, QT_TRANSLATE_NOOP("Instruments", "Pianoforte"), 0, "piano" },
    { PlayedInstrument::Voice, QT_TRANSLATE_NOOP("Instruments", "Voce"), 0, "voice" },
    { PlayedInstrument::Flute, QT_TRANSLATE_NOOP("Instruments", "Flauto"), 0, "flute" },
    { PlayedInstrument::Violin, QT_TRANSLATE_NOOP("Instruments", "Violino"), 0, "violin" },
    { PlayedInstrument::Guitar, QT_TRANSLATE_NOOP("Instruments", "Chitarra"), -12, "guitar" },
    { PlayedInstrument::ClarinetInBFlat, QT_TRANSLATE_NOOP("Instruments", "Clarinetto in Si♭"), -2, "clarinet" },
    { PlayedInstrument::TrumpetInBFlat, QT_TRANSLATE_NOOP("Instruments", "Tromba in Si♭"), -2, "trumpet" },
    { PlayedInstrument::AltoSaxInEFlat, QT_TRANSLATE_NOOP("Instruments", "Sax contralto in Mi♭"), -9, "alto-sax" },
    { PlayedInstrument::HornInF, QT_TRANSLATE_NOOP("Instruments", "Corno in Fa"), -7, "horn" },
} };

const PlayedInstrumentInfo& infoOf(PlayedInstrument instrument);
std::optional<PlayedInstrument> playedInstrumentFromWord(std::string_view word);

constexpr int soundingNote(PlayedInstrument instrument, int writtenMidiNote)
{
    return writtenMidiNote + PlayedInstruments.at(static_cast<std::size_t>(instrument)).soundingOffset;
}

constexpr int writtenNote(PlayedInstrument instrument, int soundingMidiNote)
{
    return soundingMidiNote - PlayedInstruments.at(static_cast<std::size_t>(instrument)).soundingOffset;
}

// The sounding notes to listen for when the written ones run from `lowest`
// to `highest`, a semitone wider each side so that a note played a little
// sharp or flat is still heard (and judged wrong, not missed).
struct ListeningRange {
    int lowest;
    int highest;
};
ListeningRange listeningRange(PlayedInstrument instrument, int lowestWritten, int highestWritten);

// A heard note turned into the written note that answers. With the voice
// the right note sung in another octave is right: men read the treble
// staff an octave above where they sing, children below; the answer then
// says so.
struct HeardAnswer {
    int writtenMidiNote;
    bool otherOctave = false;

    friend bool operator==(const HeardAnswer&, const HeardAnswer&) = default;
};
HeardAnswer answerOfHeardNote(PlayedInstrument instrument, int soundingMidiNote, int expectedWrittenNote);

// What the status text adds when the voice sang the right note in another
// octave.
Text otherOctaveNotice();

} // namespace zintaro::compose
