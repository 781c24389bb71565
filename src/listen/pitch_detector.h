#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace zintaro::listen {

// The tuning reference: A4 at 440 Hz, adjustable 10 Hz either way.
inline constexpr double StandardTuning = 440.0;
inline constexpr double LowestTuning = 430.0;
inline constexpr double HighestTuning = 450.0;

struct DetectorSettings {
    double sampleRate = 48000.0;
    // The sounding MIDI notes listened for, the margin already included:
    // a pitch outside them is no note.
    int lowestNote = 36;
    int highestNote = 96;
    // A4 in hertz, kept between LowestTuning and HighestTuning.
    double tuning = StandardTuning;
};

// A note heard: its onset, then a pitch held steady long enough to judge.
struct HeardNote {
    int midiNote = 0;
    // How far the pitch lies from the tempered note, −50..50.
    double cents = 0.0;
    // Samples counted from the first one fed.
    int64_t onsetSample = 0;
    // The sample at which the pitch had been steady long enough.
    int64_t answerSample = 0;
};

// Finds played or sung notes in mono audio: aubio's onset detector times
// the attack and its YIN pitch tracker the note, which must hold within a
// semitone over SteadyMs of sound and ten hops (53 ms) before it is
// reported, once per onset (or per change of note when the player slurs). Pure: no thread, no clock, the
// same answers for the same samples, so it runs offline in the tests.
class PitchDetector {
public:
    static constexpr double SteadyMs = 40.0;

    explicit PitchDetector(const DetectorSettings& settings);
    ~PitchDetector();
    PitchDetector(const PitchDetector&) = delete;
    PitchDetector& operator=(const PitchDetector&) = delete;

    // Blocks of any length; the notes whose pitch became steady in them.
    std::vector<HeardNote> feed(std::span<const float> samples);

    // The loudness of the last samples analysed, in dB below full scale
    // (−120 for silence): what a level meter shows.
    double levelDb() const;

    // The analysis window: long enough for two periods of the lowest note.
    int windowSize() const;
    int hopSize() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace zintaro::listen
