#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zintaro {

// A piano key and a stored note: 0 is F3, 35 is E6.
inline constexpr int16_t NoteCountOnPiano = 36;

// Pitch class by NoteIndex mod 12, counted from F.
enum class PitchClass : uint8_t { F, FSharp, G, GSharp, A, ASharp, B, C, CSharp, D, DSharp, E };

constexpr PitchClass pitchClassOf(int16_t noteIndex)
{
    return static_cast<PitchClass>(((noteIndex % 12) + 12) % 12);
}

// The black keys of the piano.
constexpr bool isSharp(int16_t noteIndex)
{
    switch (pitchClassOf(noteIndex)) {
    case PitchClass::FSharp:
    case PitchClass::GSharp:
    case PitchClass::ASharp:
    case PitchClass::CSharp:
    case PitchClass::DSharp:
        return true;
    default:
        return false;
    }
}

constexpr bool isPianoNote(int noteIndex)
{
    return noteIndex >= 0 && noteIndex < NoteCountOnPiano;
}

// White-key position on the staff counted from F3 (0..20). A sharp sits on
// the step of the natural below it. Any index outside 0..35 gives step 0.
int16_t scaleStep(int noteIndex);

// The natural note on a scale step; any step outside 0..20 gives 0.
int16_t stepToNote(int step);

// Steps from middle C: scaleStep − 4.
inline int16_t staffStepOf(int noteIndex)
{
    return static_cast<int16_t>(scaleStep(noteIndex) - 4);
}

// "FA" "SOL" "LA" "SI" "DO" "RE" "MI" for the name labels; empty outside 0..35.
std::string_view writtenName(int noteIndex);

// "Fa" "Sol" "La" "Si" "Do" "Re" "Mi" for speech; empty outside 0..35.
std::string_view spokenName(int noteIndex);

// The milliseconds of sounding time for duration codes 0..3 at a tempo:
// tempo × 30, then that halved, quartered and divided by eight, rounded down.
std::array<double, 4> tempoDurationsFor(int tempo);

} // namespace zintaro
