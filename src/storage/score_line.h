#pragma once

#include "storage/imported_piece.h"

#include <optional>
#include <string>

namespace zintaro::storage {

// A note element of a score as read, before it is kept or not.
struct ScoreNote {
    bool chord = false; // a further note of the chord the last note started
    bool grace = false;
    bool cue = false;
    std::optional<int> pitch; // none for a rest
    double length = 0; // in sixty-fourths of a whole note
    std::string voice = "1";
    int staff = 1;
    std::optional<int> type; // 0..6, 7 for a value shorter than a sixty-fourth
    int dots = 0;
    bool tieStart = false;
    int actualNotes = 0;
    int normalNotes = 0;
    bool tupletStart = false;

    bool inTuplet() const { return actualNotes > 0 && normalNotes > 0 && actualNotes != normalNotes; }
};

// The one line of a part that is imported: the first voice of the first
// staff, a chord's top note, the silences of the voice as rests. It keeps
// the time of the part's measures, in sixty-fourths of a whole note.
class KeptLine {
public:
    explicit KeptLine(ImportedPiece& piece)
        : m_piece(piece)
    {
    }

    void startMeasure();
    void endMeasure();
    // A backup (back) or forward (ahead) within the measure.
    void move(double sixtyFourths);
    void add(const ScoreNote& note);

private:
    void append(ImportedNote note);

    ImportedPiece& m_piece;
    // Where the measure started, the point in it, the furthest point reached in it.
    double m_measureStart = 0;
    double m_position = 0;
    double m_measureEnd = 0;

    std::optional<std::string> m_voice; // the voice kept: the first on the first staff
    double m_voiceEnd = 0; // where the kept voice's last note ends
    double m_chordStart = 0; // where the last note that is no chord's further note started
    bool m_chordCounted = false; // the last kept note's chord is counted
    bool m_inTuplet = false;
};

} // namespace zintaro::storage
