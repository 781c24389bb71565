#include "staff/speech_espeak.h"
#include "support/scripted_dialogs.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace zintaro::staff {
namespace {

// The real engine, its two voices and the real sound output. Where the output
// cannot be opened (no sound card) the user is told once; where it can,
// the words are spoken and nothing is told.
TEST(SpeechOutput, theItalianEngineSpeaksOrTellsOnceThatItCannot)
{
    testing::ScriptedDialogs dialogs;
    {
        auto speech = makeItalianSpeech([&dialogs](const SpeechFailure& failure) { dialogs.message(failure.text); });
        for (int i = 0; i < 40 && dialogs.shown.empty(); ++i) {
            // Letters go to the English voice and back.
            speech->say(i % 2 ? "Re" : "F sharp", i % 2 ? Voice::Italian : Voice::English);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        for (const char* name : { "Mi", "Fa", "Sol" })
            speech->say(name);
    }
    ASSERT_LE(dialogs.shown.size(), 1u);
    if (!dialogs.shown.empty()) {
        EXPECT_NE(dialogs.shown[0].text.find("uscita audio"), std::string::npos) << dialogs.shown[0].text;
    }
}

} // namespace
} // namespace zintaro::staff
