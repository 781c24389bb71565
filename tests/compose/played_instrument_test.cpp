#include "compose/played_instrument.h"

#include <gtest/gtest.h>

using namespace zintaro::compose;

namespace {

struct Transposition {
    PlayedInstrument instrument;
    int written;
    int sounding;
};

// Written C4 (60) and the note each instrument sounds for it.
constexpr Transposition WrittenMiddleC[] {
    { PlayedInstrument::Piano, 60, 60 }, { PlayedInstrument::Voice, 60, 60 }, { PlayedInstrument::Flute, 60, 60 },
    { PlayedInstrument::Violin, 60, 60 }, { PlayedInstrument::Guitar, 60, 48 }, // C3
    { PlayedInstrument::ClarinetInBFlat, 60, 58 }, // B♭3
    { PlayedInstrument::TrumpetInBFlat, 60, 58 }, // B♭3
    { PlayedInstrument::AltoSaxInEFlat, 60, 51 }, // E♭3
    { PlayedInstrument::HornInF, 60, 53 }, // F3
};

} // namespace

TEST(PlayedInstrument, everyInstrumentSoundsItsWrittenNoteAtItsInterval)
{
    ASSERT_EQ(std::size(WrittenMiddleC), PlayedInstruments.size());
    for (const auto& [instrument, written, sounding] : WrittenMiddleC) {
        SCOPED_TRACE(infoOf(instrument).name);
        EXPECT_EQ(soundingNote(instrument, written), sounding);
        for (int note = 40; note <= 90; ++note)
            EXPECT_EQ(writtenNote(instrument, soundingNote(instrument, note)), note);
        EXPECT_EQ(answerOfHeardNote(instrument, sounding, written), (HeardAnswer { written, false }));
        EXPECT_EQ(playedInstrumentFromWord(infoOf(instrument).word), instrument);
    }
    EXPECT_FALSE(playedInstrumentFromWord("kazoo"));
}

TEST(PlayedInstrument, onlyTheVoiceMayAnswerInAnotherOctave)
{
    // A man sings the treble staff's E5 as E4; a child the bass staff's
    // C3 as C5.
    EXPECT_EQ(answerOfHeardNote(PlayedInstrument::Voice, 64, 76), (HeardAnswer { 76, true }));
    EXPECT_EQ(answerOfHeardNote(PlayedInstrument::Voice, 72, 48), (HeardAnswer { 48, true }));
    EXPECT_EQ(answerOfHeardNote(PlayedInstrument::Voice, 65, 76), (HeardAnswer { 65, false }));
    EXPECT_EQ(answerOfHeardNote(PlayedInstrument::Flute, 64, 76), (HeardAnswer { 64, false }));
    // A guitarist whose string sounds an octave high played the wrong note.
    EXPECT_EQ(answerOfHeardNote(PlayedInstrument::Guitar, 60, 60), (HeardAnswer { 72, false }));
}

TEST(PlayedInstrument, theListeningRangeIsTheSoundingRangeAndASemitoneEachSide)
{
    const ListeningRange clarinet = listeningRange(PlayedInstrument::ClarinetInBFlat, 53, 88);
    EXPECT_EQ(clarinet.lowest, 50);
    EXPECT_EQ(clarinet.highest, 87);
    const ListeningRange horn = listeningRange(PlayedInstrument::HornInF, 88, 53);
    EXPECT_EQ(horn.lowest, 45);
    EXPECT_EQ(horn.highest, 82);
    const ListeningRange voice = listeningRange(PlayedInstrument::Voice, 60, 79);
    EXPECT_EQ(voice.lowest, 47);
    EXPECT_EQ(voice.highest, 92);
}
