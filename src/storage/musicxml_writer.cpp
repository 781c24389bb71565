#include "core/written_piece.h"
#include "storage/export_writers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace zintaro::storage {

namespace {

constexpr int DivisionsPerQuarter = 16;
constexpr int WholeDivisions = 4 * DivisionsPerQuarter;

// By duration code: the note type and its length in divisions.
constexpr std::array<std::string_view, 7> TypeNames = { "whole", "half", "quarter", "eighth", "16th", "32nd", "64th" };

constexpr std::array<char, 7> StepLetters = { 'C', 'D', 'E', 'F', 'G', 'A', 'B' };

void appendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
}

// A written value: a note type, dotted or not.
struct Value {
    int code = 0; // 0..6: the written type
    bool dotted = false;

    int length() const
    {
        const int plain = WholeDivisions >> code;
        return dotted ? plain + plain / 2 : plain;
    }
};

// Every value a measure can hold, longest first. A dotted sixty-fourth
// would need half a division.
constexpr std::array<Value, 12> ValuesLongestFirst = { { { 0, false }, { 1, true }, { 1, false }, { 2, true },
    { 2, false }, { 3, true }, { 3, false }, { 4, true }, { 4, false }, { 5, true }, { 5, false }, { 6, false } } };

// The values that fill `length` divisions, longest first: a dotted value
// where one fits, so a note split at a bar line reads as a dotted half
// rather than a quarter tied to a half.
std::vector<Value> valuesFilling(int length)
{
    std::vector<Value> values;
    for (const Value& v : ValuesLongestFirst) {
        while (length >= v.length()) {
            values.push_back(v);
            length -= v.length();
        }
    }
    return values;
}

// One written note or rest: a whole entry, or one of the pieces it is split
// into at a bar line. The pieces of a note are tied; a rest's are not.
struct Piece {
    Value value;
    bool tieFromPrevious;
    bool tieToNext;
};

class ScoreWriter {
public:
    ScoreWriter(std::string& out, bool withLyrics, NoteNaming naming, Key key, Meter meter)
        : m_out(out)
        , m_withLyrics(withLyrics)
        , m_naming(naming)
        , m_key(key)
        , m_measureDivisions(WholeDivisions * meter.beats / meter.unit)
        , m_reading(key)
    {
        m_out += "    <measure number=\"1\">\n"
                 "      <attributes>\n"
                 "        <divisions>16</divisions>\n"
                 "        <key><fifths>";
        m_out += std::to_string(key.fifths);
        m_out += key.mode == KeyMode::Minor ? "</fifths><mode>minor</mode></key>\n" : "</fifths></key>\n";
        m_out += "        <time><beats>";
        m_out += std::to_string(meter.beats);
        m_out += "</beats><beat-type>";
        m_out += std::to_string(meter.unit);
        m_out += "</beat-type></time>\n"
                 "        <clef><sign>G</sign><line>2</line></clef>\n"
                 "      </attributes>\n";
        m_measure = 1;
    }

    // Writes an entry from the current point, splitting it at the bar lines
    // it crosses; a note tied from the one before or to the next says so on
    // its first piece or its last.
    void entry(Entry e, bool tiedFromPrevious, bool tiedToNext)
    {
        // A dotted sixty-fourth would need half a division: it is written
        // plain. No phrase the program writes has one.
        const Value whole { e.DurationCode, e.Dotted && e.DurationCode < 6 };
        int remaining = whole.length();
        bool first = true;
        while (remaining > 0) {
            if (m_position == m_measureDivisions)
                nextMeasure();
            const int part = std::min(remaining, m_measureDivisions - m_position);
            std::vector<Value> values = first && part == remaining ? std::vector<Value> { whole } : valuesFilling(part);
            // A piece that ends on the bar line grows towards it, so that its
            // longest value ends the measure on a beat.
            if (m_position != 0 && m_position + part == m_measureDivisions)
                std::reverse(values.begin(), values.end());
            for (const Value& v : values) {
                remaining -= v.length();
                piece(e, { v, !first || tiedFromPrevious, remaining > 0 || tiedToNext });
                m_position += v.length();
                first = false;
            }
        }
    }

    void closeMeasure() { m_out += "    </measure>\n"; }

private:
    void nextMeasure()
    {
        closeMeasure();
        ++m_measure;
        m_out += "    <measure number=\"";
        m_out += std::to_string(m_measure);
        m_out += "\">\n";
        m_position = 0;
        m_reading.startMeasure();
    }

    void piece(Entry e, Piece p)
    {
        m_out += "      <note>\n";
        if (e.RestFlag != 0) {
            // A tie between rests means nothing: the pieces simply follow.
            m_out += "        <rest/>\n";
            durationAndType({ p.value, false, false });
            m_out += "      </note>\n";
            return;
        }
        const SpelledNote written = spellInKey(midiNoteOfKey(e.NoteIndex), m_key);
        m_out += "        <pitch><step>";
        m_out += StepLetters[static_cast<std::size_t>(written.letter)];
        m_out += "</step>";
        if (written.accidental != Accidental::Natural)
            m_out += written.accidental == Accidental::Sharp ? "<alter>1</alter>" : "<alter>-1</alter>";
        m_out += "<octave>";
        m_out += std::to_string(written.octave);
        m_out += "</octave></pitch>\n";
        durationAndType(p);

        // An accidental is shown where the line or space reads otherwise at
        // this point of the measure; a tied continuation keeps the pitch it
        // continues and shows none.
        if (const auto sign = p.tieFromPrevious ? std::nullopt : m_reading.signFor(written)) {
            m_out += *sign == Accidental::Sharp ? "        <accidental>sharp</accidental>\n"
                : *sign == Accidental::Flat     ? "        <accidental>flat</accidental>\n"
                                                : "        <accidental>natural</accidental>\n";
        }
        if (p.tieFromPrevious || p.tieToNext) {
            m_out += "        <notations>";
            if (p.tieFromPrevious)
                m_out += "<tied type=\"stop\"/>";
            if (p.tieToNext)
                m_out += "<tied type=\"start\"/>";
            m_out += "</notations>\n";
        }
        if (m_withLyrics && !p.tieFromPrevious) {
            m_out += "        <lyric number=\"1\"><syllabic>single</syllabic><text>";
            appendEscaped(m_out, noteName(written, m_naming, false));
            m_out += "</text></lyric>\n";
        }
        m_out += "      </note>\n";
    }

    // The elements every note and rest has, in the order the schema wants
    // them: duration, ties, voice, type, dot.
    void durationAndType(Piece p)
    {
        m_out += "        <duration>";
        m_out += std::to_string(p.value.length());
        m_out += "</duration>\n";
        if (p.tieFromPrevious)
            m_out += "        <tie type=\"stop\"/>\n";
        if (p.tieToNext)
            m_out += "        <tie type=\"start\"/>\n";
        m_out += "        <voice>1</voice>\n        <type>";
        m_out += TypeNames[static_cast<std::size_t>(p.value.code)];
        m_out += "</type>\n";
        if (p.value.dotted)
            m_out += "        <dot/>\n";
    }

    std::string& m_out;
    bool m_withLyrics;
    NoteNaming m_naming;
    Key m_key;
    int m_measureDivisions;
    int m_measure = 0;
    int m_position = 0; // divisions into the current measure
    MeasureReading m_reading;
};

} // namespace

std::string writeMusicXml(const CompositionStore& store, int noteCount, std::string_view partName, bool withLyrics,
    NoteNaming naming, Key key, Meter meter)
{
    const int count = std::clamp(noteCount, 0, MaxEntries);
    std::string out;
    out.reserve(1024 + 200 * static_cast<std::size_t>(count));
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
           "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
           "\"http://www.musicxml.org/dtds/partwise.dtd\">\n"
           "<score-partwise version=\"4.0\">\n"
           "  <part-list>\n"
           "    <score-part id=\"P1\">\n"
           "      <part-name>";
    appendEscaped(out, partName);
    out += "</part-name>\n"
           "      <score-instrument id=\"P1-I1\"><instrument-name>";
    appendEscaped(out, partName);
    out += "</instrument-name></score-instrument>\n"
           "    </score-part>\n"
           "  </part-list>\n"
           "  <part id=\"P1\">\n";

    // A measure is the meter's worth of durations from the start of the
    // piece, as the staff's bars sum them (codes 0..6 sum exactly in
    // divisions as in the staff's single-precision sum). Where the staff
    // marks a measure overfull and starts the next after the crossing note,
    // the score keeps time instead: the note is tied across the bar line,
    // a rest simply goes on in the next measure.
    ScoreWriter score(out, withLyrics, naming, key, meter);
    bool tiedIn = false;
    for (int i = 0; i < count; ++i) {
        const Entry e = store.at(i);
        if (!isExportable(e))
            continue;
        const bool tiedOut = tieHolds(store, count, i) && isExportable(store.at(i + 1));
        score.entry(e, tiedIn, tiedOut);
        tiedIn = tiedOut;
    }
    score.closeMeasure();
    out += "  </part>\n"
           "</score-partwise>\n";
    return out;
}

} // namespace zintaro::storage
