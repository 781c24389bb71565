#include "compose/chord_material.h"

#include <algorithm>
#include <array>
#include <random>
#include <string_view>

namespace zintaro::compose {

namespace {

using Random = std::mt19937;

constexpr std::array<int, 7> LetterSemitones = { 0, 2, 4, 5, 7, 9, 11 };

// By number (2..8) and by how far the interval is from its perfect or major
// size: diminished, minor, major, augmented; perfect ones have no minor or major.
struct IntervalNames {
    bool perfect;
    int size; // semitones of the perfect or major interval
    std::array<const char*, 4> names; // diminished, minor or perfect, major, augmented
};
constexpr std::array<IntervalNames, 7> Names = { {
    { false, 2,
        { QT_TRANSLATE_NOOP("Intervals", "Seconda diminuita"), QT_TRANSLATE_NOOP("Intervals", "Seconda minore"),
            QT_TRANSLATE_NOOP("Intervals", "Seconda maggiore"), QT_TRANSLATE_NOOP("Intervals", "Seconda eccedente") } },
    { false, 4,
        { QT_TRANSLATE_NOOP("Intervals", "Terza diminuita"), QT_TRANSLATE_NOOP("Intervals", "Terza minore"),
            QT_TRANSLATE_NOOP("Intervals", "Terza maggiore"), QT_TRANSLATE_NOOP("Intervals", "Terza eccedente") } },
    { true, 5,
        { QT_TRANSLATE_NOOP("Intervals", "Quarta diminuita"), QT_TRANSLATE_NOOP("Intervals", "Quarta giusta"),
            QT_TRANSLATE_NOOP("Intervals", "Quarta eccedente"), nullptr } },
    { true, 7,
        { QT_TRANSLATE_NOOP("Intervals", "Quinta diminuita"), QT_TRANSLATE_NOOP("Intervals", "Quinta giusta"),
            QT_TRANSLATE_NOOP("Intervals", "Quinta eccedente"), nullptr } },
    { false, 9,
        { QT_TRANSLATE_NOOP("Intervals", "Sesta diminuita"), QT_TRANSLATE_NOOP("Intervals", "Sesta minore"),
            QT_TRANSLATE_NOOP("Intervals", "Sesta maggiore"), QT_TRANSLATE_NOOP("Intervals", "Sesta eccedente") } },
    { false, 11,
        { QT_TRANSLATE_NOOP("Intervals", "Settima diminuita"), QT_TRANSLATE_NOOP("Intervals", "Settima minore"),
            QT_TRANSLATE_NOOP("Intervals", "Settima maggiore"), QT_TRANSLATE_NOOP("Intervals", "Settima eccedente") } },
    { true, 12,
        { QT_TRANSLATE_NOOP("Intervals", "Ottava diminuita"), QT_TRANSLATE_NOOP("Intervals", "Ottava giusta"),
            QT_TRANSLATE_NOOP("Intervals", "Ottava eccedente"), nullptr } },
} };

// The name of an interval, or nothing for one beyond the table (a doubly
// augmented one, or a unison).
const char* nameOf(const Interval& interval)
{
    const int number = intervalNumber(interval);
    if (number < 2 || number > 8)
        return nullptr;
    const IntervalNames& n = Names[static_cast<size_t>(number - 2)];
    const int off = midiNoteOf(interval.upper) - midiNoteOf(interval.lower) - n.size;
    // Perfect: −1 0 +1 are diminished, perfect, augmented; major: −2 −1 0 +1.
    const int index = n.perfect ? off + 1 : off + 2;
    if (index < 0 || index > 3)
        return nullptr;
    return n.names[static_cast<size_t>(index)];
}

// A MIDI note written on a given letter, if a single sign or none does it.
std::optional<SpelledNote> onLetter(int midi, Letter letter)
{
    for (const int octave : { midi / 12 - 2, midi / 12 - 1, midi / 12 }) {
        const int offset = midi - (octave + 1) * 12 - LetterSemitones[static_cast<size_t>(letter)];
        if (offset >= -1 && offset <= 1)
            return SpelledNote { letter, static_cast<Accidental>(offset), octave };
    }
    return std::nullopt;
}

Letter lettersAbove(Letter letter, int steps)
{
    return static_cast<Letter>((static_cast<int>(letter) + steps) % 7);
}

bool inRange(const MaterialRequest& r, int midi)
{
    return midi >= r.lowest && midi <= r.highest;
}

template<typename T> std::optional<T> pickFrom(Random& random, const std::vector<T>& all)
{
    if (all.empty())
        return std::nullopt;
    return all[static_cast<size_t>(random() % all.size())];
}

} // namespace

int intervalNumber(const Interval& interval)
{
    return stepsFromMiddleC(interval.upper) - stepsFromMiddleC(interval.lower) + 1;
}

Text intervalName(const Interval& interval, NoteNaming naming)
{
    const char* name = nameOf(interval);
    return translate("Intervals", "%1 %2–%3")
        .arg(name ? translate("Intervals", name) : Text::verbatim({}))
        .arg(noteName(interval.lower, naming, true))
        .arg(noteName(interval.upper, naming, true));
}

namespace {

// The words of each quality, the root's name in them.
constexpr std::array<const char*, 4> QualityNames
    = { QT_TRANSLATE_NOOP("Chords", "%1 maggiore"), QT_TRANSLATE_NOOP("Chords", "%1 minore"),
          QT_TRANSLATE_NOOP("Chords", "%1 diminuito"), QT_TRANSLATE_NOOP("Chords", "%1 aumentato") };
constexpr std::array<const char*, 3> InversionNames = { QT_TRANSLATE_NOOP("Chords", "%1 %2"),
    QT_TRANSLATE_NOOP("Chords", "%1 primo rivolto %2"), QT_TRANSLATE_NOOP("Chords", "%1 secondo rivolto %2") };

std::string joinedNames(const std::vector<SpelledNote>& notes, NoteNaming naming)
{
    std::string names;
    for (const SpelledNote note : notes) {
        if (!names.empty())
            names += "–";
        names += noteName(note, naming, true);
    }
    return names;
}

int pitchClassAbove(SpelledNote root, SpelledNote note)
{
    return ((midiNoteOf(note) - midiNoteOf(root)) % 12 + 12) % 12;
}

} // namespace

std::optional<Triad> triadOf(const std::vector<SpelledNote>& notes)
{
    if (notes.size() != 3)
        return std::nullopt;
    const int middle = stepsFromMiddleC(notes[1]) - stepsFromMiddleC(notes[0]);
    const int top = stepsFromMiddleC(notes[2]) - stepsFromMiddleC(notes[0]);
    // Letters above the bass: a third and a fifth, a third and a sixth, a
    // fourth and a sixth.
    int inversion = 0;
    if (middle == 2 && top == 5)
        inversion = 1;
    else if (middle == 3 && top == 5)
        inversion = 2;
    else if (middle != 2 || top != 4)
        return std::nullopt;
    const std::array<size_t, 3> rootAt = { 0, 2, 1 };
    const SpelledNote root = notes[rootAt[static_cast<size_t>(inversion)]];
    const SpelledNote third = notes[(rootAt[static_cast<size_t>(inversion)] + 1) % 3];
    const SpelledNote fifth = notes[(rootAt[static_cast<size_t>(inversion)] + 2) % 3];
    constexpr std::array<std::array<int, 2>, 4> Shapes = { { { 4, 7 }, { 3, 7 }, { 3, 6 }, { 4, 8 } } };
    const std::array<int, 2> shape = { pitchClassAbove(root, third), pitchClassAbove(root, fifth) };
    const auto quality = std::find(Shapes.begin(), Shapes.end(), shape);
    if (quality == Shapes.end())
        return std::nullopt;
    return Triad { notes, static_cast<TriadQuality>(quality - Shapes.begin()), inversion };
}

Text triadName(const Triad& triad, NoteNaming naming)
{
    const std::array<size_t, 3> rootAt = { 0, 2, 1 };
    const auto inversion = static_cast<size_t>(std::clamp(triad.inversion, 0, 2));
    const SpelledNote root = triad.notes.at(rootAt[inversion]);
    return translate("Chords", InversionNames[inversion])
        .arg(translate("Chords", QualityNames[static_cast<size_t>(triad.quality)]).arg(noteName(root, naming, false)))
        .arg(joinedNames(triad.notes, naming));
}

Text shownName(const std::vector<SpelledNote>& notes, NoteNaming naming)
{
    if (notes.size() == 2)
        return intervalName({ notes[0], notes[1], true }, naming);
    if (const auto triad = triadOf(notes))
        return triadName(*triad, naming);
    return Text::verbatim(joinedNames(notes, naming));
}

std::vector<Interval> allIntervals(const MaterialRequest& request, bool harmonic)
{
    std::vector<Interval> all;
    for (int low = request.lowest; low <= request.highest; ++low)
        for (int high = low + 1; high <= std::min(request.highest, low + 12); ++high) {
            Interval interval { request.key ? spellInKey(low, *request.key) : sharpSpelling(low),
                request.key ? spellInKey(high, *request.key) : sharpSpelling(high), harmonic };
            if (request.key) {
                const auto scale = scalePitchClasses(*request.key);
                if (std::find(scale.begin(), scale.end(), low % 12) == scale.end()
                    || std::find(scale.begin(), scale.end(), high % 12) == scale.end())
                    continue;
            }
            if (nameOf(interval) != nullptr)
                all.push_back(interval);
        }
    return all;
}

std::optional<Interval> drawInterval(const MaterialRequest& request, bool harmonic)
{
    // Every pair grouped by number, so that each number comes as often.
    std::array<std::vector<Interval>, 7> byNumber;
    for (const Interval& interval : allIntervals(request, harmonic))
        byNumber[static_cast<size_t>(intervalNumber(interval) - 2)].push_back(interval);
    std::vector<int> numbers;
    for (int i = 0; i < 7; ++i)
        if (!byNumber[static_cast<size_t>(i)].empty())
            numbers.push_back(i);
    Random random(request.seed);
    const auto number = pickFrom(random, numbers);
    if (!number)
        return std::nullopt;
    return pickFrom(random, byNumber[static_cast<size_t>(*number)]);
}

std::vector<Triad> allTriads(const MaterialRequest& request)
{
    // Thirds above the root, by quality, in semitones.
    constexpr std::array<std::array<int, 2>, 4> Thirds = { { { 4, 3 }, { 3, 4 }, { 3, 3 }, { 4, 4 } } };
    std::vector<Triad> all;
    for (int root = request.lowest - 24; root <= request.highest; ++root) {
        const SpelledNote rootNote = request.key ? spellInKey(root, *request.key) : sharpSpelling(root);
        for (int q = 0; q < 4; ++q) {
            const int third = root + Thirds[static_cast<size_t>(q)][0];
            const int fifth = third + Thirds[static_cast<size_t>(q)][1];
            auto thirdNote = onLetter(third, lettersAbove(rootNote.letter, 2));
            auto fifthNote = onLetter(fifth, lettersAbove(rootNote.letter, 4));
            if (!thirdNote || !fifthNote)
                continue;
            if (request.key
                && (spellInKey(root, *request.key) != rootNote || spellInKey(third, *request.key) != *thirdNote
                    || spellInKey(fifth, *request.key) != *fifthNote
                    || signatureAccidental(*request.key, thirdNote->letter) != thirdNote->accidental
                    || signatureAccidental(*request.key, fifthNote->letter) != fifthNote->accidental
                    || signatureAccidental(*request.key, rootNote.letter) != rootNote.accidental))
                continue;
            std::array<std::pair<int, SpelledNote>, 3> notes
                = { { { root, rootNote }, { third, *thirdNote }, { fifth, *fifthNote } } };
            for (int inversion = 0; inversion < 3; ++inversion) {
                Triad triad { {}, static_cast<TriadQuality>(q), inversion };
                bool fits = true;
                for (int i = 0; i < 3; ++i) {
                    auto [midi, note] = notes[static_cast<size_t>((i + inversion) % 3)];
                    // The notes below the bass go up an octave.
                    if (i + inversion >= 3) {
                        midi += 12;
                        note.octave += 1;
                    }
                    fits = fits && inRange(request, midi);
                    triad.notes.push_back(note);
                }
                if (fits)
                    all.push_back(triad);
            }
        }
    }
    return all;
}

std::optional<Triad> drawTriad(const MaterialRequest& request)
{
    Random random(request.seed);
    return pickFrom(random, allTriads(request));
}

ChordAnswer judgeChord(
    const std::vector<int>& asked, const std::vector<KeyStroke>& strokes, ChordInput input, int64_t now)
{
    ChordAnswer answer;
    if (strokes.empty() || asked.empty())
        return answer;
    const int64_t window = input == ChordInput::MidiKeyboard ? MidiChordWindow : ComputerKeysChordWindow;
    const int64_t first = strokes.front().down;
    const auto heldAt = [](const KeyStroke& s, int64_t t) { return s.down <= t && (!s.up || *s.up > t); };
    std::vector<const KeyStroke*> taken;
    std::vector<int> played;
    for (const KeyStroke& s : strokes) {
        if (played.size() >= asked.size())
            break;
        const bool inTime = s.down - first <= window;
        // On the computer keys a note held with all the others so far joins them at any time.
        const bool heldTogether = input == ChordInput::ComputerKeys
            && std::all_of(taken.begin(), taken.end(), [&](const KeyStroke* t) { return heldAt(*t, s.down); });
        if (!inTime && !heldTogether)
            continue;
        taken.push_back(&s);
        if (std::find(played.begin(), played.end(), s.midi) == played.end())
            played.push_back(s.midi);
    }
    const bool anyHeld = std::any_of(taken.begin(), taken.end(), [&](const KeyStroke* t) { return heldAt(*t, now); });
    answer.complete
        = played.size() >= asked.size() || (now - first > window && (input == ChordInput::MidiKeyboard || !anyHeld));
    if (!answer.complete)
        return answer;
    for (const int note : played)
        if (std::find(asked.begin(), asked.end(), note) == asked.end())
            answer.wrong.push_back(note);
    for (const int note : asked)
        if (std::find(played.begin(), played.end(), note) == played.end())
            answer.missing.push_back(note);
    answer.right = answer.wrong.empty() && answer.missing.empty();
    return answer;
}

} // namespace zintaro::compose
