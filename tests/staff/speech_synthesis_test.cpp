#include "staff/speech_espeak.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace zintaro::staff {
namespace {

// espeak-ng keeps one output mode per process: the whole suite shares
// one synthesizer, started once.
class SpeechSynthesisTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { synthesizer = std::make_unique<EspeakSynthesizer>("it"); }
    static void TearDownTestSuite() { synthesizer.reset(); }

    void SetUp() override { ASSERT_TRUE(synthesizer->ready()) << "espeak-ng with its Italian voice is needed"; }

    static int peak(const std::vector<int16_t>& samples)
    {
        int p = 0;
        for (int16_t s : samples)
            p = std::max(p, std::abs(int(s)));
        return p;
    }

    static inline std::unique_ptr<EspeakSynthesizer> synthesizer;
};

TEST_F(SpeechSynthesisTest, everyNoteNameIsSpokenAsAShortAudibleWord)
{
    for (const char* name : { "Do", "Re", "Mi", "Fa", "Sol", "La", "Si" }) {
        const std::vector<int16_t> samples = synthesizer->synthesize(name);
        const double seconds = double(samples.size()) / synthesizer->sampleRate();
        EXPECT_GT(seconds, 0.1) << name;
        EXPECT_LT(seconds, 2.0) << name;
        EXPECT_GT(peak(samples), 2000) << name << " is not silent";
    }
}

// The engine varies a word slightly from one time to the next, so words
// are told apart by their length and loudness rather than sample by sample.
struct Sound {
    double length;
    double rms;
};
Sound measure(const std::vector<int16_t>& samples)
{
    double energy = 0;
    for (int16_t s : samples)
        energy += double(s) * s;
    return { double(samples.size()), samples.empty() ? 0 : std::sqrt(energy / double(samples.size())) };
}
bool alike(Sound a, Sound b)
{
    auto near = [](double x, double y) { return std::abs(x - y) <= 0.1 * std::max(x, y); };
    return near(a.length, b.length) && near(a.rms, b.rms);
}

TEST_F(SpeechSynthesisTest, differentNamesSoundDifferentAndTheSameNameAlike)
{
    const Sound doOnce = measure(synthesizer->synthesize("Do"));
    const Sound doAgain = measure(synthesizer->synthesize("Do"));
    const Sound re = measure(synthesizer->synthesize("Re"));
    EXPECT_TRUE(alike(doOnce, doAgain));
    EXPECT_FALSE(alike(doOnce, re)) << "Do " << doOnce.length << " samples, rms " << doOnce.rms << "; Re " << re.length
                                    << " samples, rms " << re.rms;
}

TEST_F(SpeechSynthesisTest, anEmptyTextGivesNoSound)
{
    EXPECT_EQ(peak(synthesizer->synthesize("")), 0);
}

} // namespace
} // namespace zintaro::staff
