#include "compose/played_instrument.h"

#include <algorithm>

namespace zintaro::compose {

namespace {

constexpr bool tableFollowsTheEnum()
{
    for (std::size_t i = 0; i < PlayedInstruments.size(); ++i)
        if (static_cast<std::size_t>(PlayedInstruments.at(i).instrument) != i)
            return false;
    return true;
}
static_assert(tableFollowsTheEnum(), "the table is indexed by the instrument");

} // namespace

const PlayedInstrumentInfo& infoOf(PlayedInstrument instrument)
{
    return PlayedInstruments.at(static_cast<std::size_t>(instrument));
}

std::optional<PlayedInstrument> playedInstrumentFromWord(std::string_view word)
{
    const auto* found = std::ranges::find(PlayedInstruments, word, &PlayedInstrumentInfo::word);
    if (found == PlayedInstruments.end())
        return std::nullopt;
    return found->instrument;
}

ListeningRange listeningRange(PlayedInstrument instrument, int lowestWritten, int highestWritten)
{
    const int lowest = soundingNote(instrument, std::min(lowestWritten, highestWritten)) - 1;
    const int highest = soundingNote(instrument, std::max(lowestWritten, highestWritten)) + 1;
    // A voice may answer an octave either side.
    if (instrument == PlayedInstrument::Voice)
        return { std::max(0, lowest - 12), std::min(127, highest + 12) };
    return { std::max(0, lowest), std::min(127, highest) };
}

HeardAnswer answerOfHeardNote(PlayedInstrument instrument, int soundingMidiNote, int expectedWrittenNote)
{
    const int written = writtenNote(instrument, soundingMidiNote);
    const int octaves = (written - expectedWrittenNote) / 12;
    if (instrument == PlayedInstrument::Voice && written != expectedWrittenNote
        && (written - expectedWrittenNote) % 12 == 0)
        return { written - 12 * octaves, true };
    return { written, false };
}

Text otherOctaveNotice()
{
    return translate("Instruments", "Nota giusta, in un'altra ottava");
}

} // namespace zintaro::compose
