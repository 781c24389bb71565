#include "staff/speech_espeak.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace zintaro::staff {
namespace {

// One engine per process (espeak-ng cannot be started twice), so this
// executable holds this one test.
TEST(SpeechFallback, aMissingVoiceIsToldOnceWhenSpeechIsFirstAskedFor)
{
    testing::ScriptedDialogs dialogs;
    auto speech = makeEspeakSpeech(
        [&dialogs](const SpeechFailure& failure) { dialogs.message(failure.text); }, "zz-no-such-voice");
    EXPECT_TRUE(dialogs.shown.empty()) << "nothing is told before speech is asked for";

    speech->say("");
    EXPECT_TRUE(dialogs.shown.empty()) << "an empty text asks for nothing";

    speech->say("Do");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_FALSE(dialogs.shown[0].isQuestion);
    EXPECT_NE(dialogs.shown[0].text.find("zz-no-such-voice"), std::string::npos) << dialogs.shown[0].text;

    speech->say("Re");
    speech->say("Mi");
    EXPECT_EQ(dialogs.shown.size(), 1u) << "silent afterwards";
}

} // namespace
} // namespace zintaro::staff
