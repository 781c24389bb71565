#include "compose/phrase_timeline.h"

#include <algorithm>

namespace zintaro::compose {

PhraseTimeline timelineOf(const Phrase& phrase, int tempo)
{
    PhraseTimeline timeline;
    const int beat = beatSixteenths(phrase.meter);
    timeline.beatMs = 60000.0 / std::max(tempo, 1);
    timeline.beatsPerMeasure = measureSixteenths(phrase.meter) / beat;
    const double sixteenthMs = timeline.beatMs / beat;
    // Positions count in sixteenths so that long phrases gather no rounding.
    int position = 0;
    bool tiedOn = false;
    for (size_t m = 0; m < phrase.measures.size(); ++m) {
        for (size_t i = 0; i < phrase.measures[m].size(); ++i) {
            const MelodyNote& note = phrase.measures[m][i];
            if (tiedOn && !timeline.notes.empty())
                timeline.notes.back().lengthMs += note.length * sixteenthMs;
            else
                timeline.notes.push_back({ note.isRest() ? -1 : note.midi, note.written,
                    timeline.countInMs() + position * sixteenthMs, note.length * sixteenthMs, m, i });
            tiedOn = note.tiedToNext && !note.isRest();
            position += note.length;
        }
    }
    timeline.endMs = timeline.countInMs() + position * sixteenthMs;
    return timeline;
}

std::vector<Click> clicksOf(const PhraseTimeline& timeline)
{
    std::vector<Click> clicks;
    if (timeline.beatsPerMeasure <= 0 || timeline.beatMs <= 0)
        return clicks;
    for (int beat = 0; beat * timeline.beatMs < timeline.endMs - timeline.beatMs / 2; ++beat)
        clicks.push_back({ beat * timeline.beatMs, beat % timeline.beatsPerMeasure == 0 });
    return clicks;
}

} // namespace zintaro::compose
