#pragma once

// Notes rendered by the built-in synthesizer, one after another as a
// student plays them, to feed the pitch detector offline: the test set of
// the listening tests and benchmarks.

#include "listen/pitch_detector.h"
#include "midi/fluid_synth_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace zintaro::listen::testing {

inline constexpr double RenderRate = 48000.0;

// General MIDI programs, counted from 0.
enum Program : int {
    NylonGuitar = 24,
    Violin = 40,
    Cello = 42,
    ChoirAahs = 52,
    VoiceOohs = 53,
    Trumpet = 56,
    Trombone = 57,
    FrenchHorn = 60,
    Bassoon = 70,
    Clarinet = 71,
    Flute = 73,
};

enum class Room { Dry, NoisyWithReverb };

struct RenderedNotes {
    std::vector<float> samples;
    // The sounding note and its note-on sample, in playing order.
    std::vector<int> notes;
    std::vector<int64_t> onsets;
};

// Each note held `holdSeconds` after `gapSeconds` of rest. NoisyWithReverb
// sends the notes through the synthesizer's small room and adds white
// noise 20 dB under each note's level.
inline RenderedNotes renderNotes(midi::FluidSynthEngine& synth, int program, const std::vector<int>& notes, Room room,
    double holdSeconds = 0.45, double gapSeconds = 0.25)
{
    constexpr int Channel = 0;
    synth.allSoundsOff();
    synth.programChange(Channel, program);
    synth.controlChange(Channel, 91, room == Room::Dry ? 0 : 100); // reverb send
    synth.controlChange(Channel, 93, 0); // chorus send
    synth.waitUntilIdle();

    RenderedNotes out;
    const auto render = [&](double seconds) {
        const auto frames = static_cast<std::size_t>(seconds * RenderRate);
        std::vector<float> left(frames), right(frames);
        synth.render(left.data(), right.data(), static_cast<int>(frames));
        for (std::size_t i = 0; i < frames; ++i)
            out.samples.push_back(0.5f * (left[i] + right[i]));
    };
    std::mt19937 random(static_cast<unsigned>(program * 1000 + notes.size()));
    std::normal_distribution<float> gauss;
    for (const int note : notes) {
        const std::size_t segment = out.samples.size();
        render(gapSeconds);
        out.notes.push_back(note);
        out.onsets.push_back(static_cast<int64_t>(out.samples.size()));
        const std::size_t sounding = out.samples.size();
        synth.noteOn(Channel, note, 90);
        render(holdSeconds);
        synth.noteOff(Channel, note);
        if (room == Room::Dry)
            continue;
        double sum = 0;
        for (std::size_t i = sounding; i < out.samples.size(); ++i)
            sum += double(out.samples[i]) * out.samples[i];
        const auto noise = static_cast<float>(std::sqrt(sum / double(out.samples.size() - sounding)) / 10.0);
        for (std::size_t i = segment; i < out.samples.size(); ++i)
            out.samples[i] += noise * gauss(random);
    }
    render(gapSeconds);
    return out;
}

struct Judged {
    int notes = 0;
    int right = 0;
    int octaveErrors = 0;
    // Note-on to the answer, and note-on to the onset told, in samples.
    std::vector<int64_t> answerDelays;
    std::vector<int64_t> onsetErrors;
    // The onset the detector told to its answer.
    std::vector<int64_t> onsetToAnswer;
};

// Feeds the notes in blocks of 10 ms and judges each by what was heard
// between its note-on and the next one: right when every note heard there
// is `toWritten` of the note played, in at least one answer.
template<typename ToWritten>
Judged judge(const RenderedNotes& rendered, const DetectorSettings& settings, ToWritten toWritten)
{
    PitchDetector detector(settings);
    std::vector<HeardNote> heard;
    const std::span<const float> all(rendered.samples);
    constexpr std::size_t Block = 480;
    for (std::size_t at = 0; at < all.size(); at += Block) {
        const auto found = detector.feed(all.subspan(at, std::min(Block, all.size() - at)));
        heard.insert(heard.end(), found.begin(), found.end());
    }
    Judged judged;
    for (std::size_t i = 0; i < rendered.notes.size(); ++i) {
        const int64_t from = rendered.onsets[i];
        const int64_t to = i + 1 < rendered.onsets.size() ? rendered.onsets[i + 1] : INT64_MAX;
        const int expected = toWritten(rendered.notes[i], rendered.notes[i]);
        bool right = false;
        bool wrong = false;
        for (const HeardNote& note : heard) {
            if (note.answerSample < from || note.answerSample >= to)
                continue;
            const int written = toWritten(note.midiNote, rendered.notes[i]);
            if (written == expected && !right && !wrong) {
                judged.answerDelays.push_back(note.answerSample - from);
                judged.onsetErrors.push_back(note.onsetSample - from);
                judged.onsetToAnswer.push_back(note.answerSample - note.onsetSample);
            }
            right = right || written == expected;
            wrong = wrong || written != expected;
            if (written != expected && (written - expected) % 12 == 0)
                ++judged.octaveErrors;
        }
        ++judged.notes;
        judged.right += right && !wrong ? 1 : 0;
    }
    return judged;
}

inline Judged judgeAsWritten(const RenderedNotes& rendered, const DetectorSettings& settings)
{
    return judge(rendered, settings, [](int heard, int) { return heard; });
}

template<typename T> T median(std::vector<T> values)
{
    if (values.empty())
        return T {};
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

} // namespace zintaro::listen::testing
