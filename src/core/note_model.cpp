#include "core/note_model.h"

#include <cmath>

namespace zintaro {

namespace {

// Scale step of each pitch class within one octave from F, and the octave
// adds seven steps.
constexpr std::array<int16_t, 12> StepInOctave = { 0, 0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6 };

constexpr std::array<std::string_view, 7> WrittenNames = { "FA", "SOL", "LA", "SI", "DO", "RE", "MI" };
constexpr std::array<std::string_view, 7> SpokenNames = { "Fa", "Sol", "La", "Si", "Do", "Re", "Mi" };

constexpr std::array<int16_t, 21> NaturalOnStep
    = { 0, 2, 4, 6, 7, 9, 11, 12, 14, 16, 18, 19, 21, 23, 24, 26, 28, 30, 31, 33, 35 };

} // namespace

int16_t scaleStep(int noteIndex)
{
    if (!isPianoNote(noteIndex))
        return 0;
    return static_cast<int16_t>(StepInOctave[noteIndex % 12] + 7 * (noteIndex / 12));
}

int16_t stepToNote(int step)
{
    if (step < 0 || step >= static_cast<int>(NaturalOnStep.size()))
        return 0;
    return NaturalOnStep[step];
}

std::string_view writtenName(int noteIndex)
{
    return isPianoNote(noteIndex) ? WrittenNames[scaleStep(noteIndex) % 7] : std::string_view {};
}

std::string_view spokenName(int noteIndex)
{
    return isPianoNote(noteIndex) ? SpokenNames[scaleStep(noteIndex) % 7] : std::string_view {};
}

std::array<double, 4> tempoDurationsFor(int tempo)
{
    const double whole = tempo * 30.0;
    return { whole, std::floor(whole / 2), std::floor(whole / 4), std::floor(whole / 8) };
}

} // namespace zintaro
