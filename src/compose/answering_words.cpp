#include "compose/answering.h"
#include "compose/trainer.h"
#include "core/key_meter.h"
#include "core/pitch.h"
#include "core/translation.h"
#include "staff/staff.h"
#include "staff/staff_system.h"

#include <algorithm>

// What the answering trainer writes on the staff's surface: the session's
// summary and the words of a wrong answer.
namespace zintaro::compose {

namespace {

// The summary lies above the staff lines, right of the trainer's column and
// of the large name label, in units that grow with the drawing scale.
constexpr int SummaryLeft = 128;
constexpr int SummaryRight = 250;
constexpr int SummaryTop = 2;
constexpr int SummaryLinePitch = 7;
constexpr int SummaryLetterHeight = 5;
constexpr int SummaryBottom = 39; // above the top staff line (40)
constexpr int SmallestSummaryLetterHeight = 3;
constexpr double AverageLetterWidth = 0.47; // of the letter height, a little over Liberation Sans's

// The words of a wrong answer stand right of the large name label, at the
// head's height: centred on a head in a space or beyond the staff, in the
// space above a head on a staff line, so that no line crosses them.
constexpr int WordsLeft = 124;
constexpr int WordsRight = 250;
constexpr int WordsLetterHeight = 5;
constexpr int WordsBoxHeight = 7;

// A line too long for the room, such as the name of a chord in its
// inversion, is written smaller; its letters are counted in the program's
// own words, which the translations keep about as long.
int summaryLetterHeight(const Text& line, int drawScale)
{
    const std::string words = line.render();
    const auto letters = std::count_if(words.begin(), words.end(), [](char c) { return (c & 0xC0) != 0x80; });
    const double room = double((SummaryRight - SummaryLeft) * drawScale);
    const auto fits = static_cast<int>(room / (AverageLetterWidth * double(std::max<std::ptrdiff_t>(letters, 1))));
    return std::clamp(fits, SmallestSummaryLetterHeight * drawScale, SummaryLetterHeight * drawScale);
}

// In pixels, on whichever staff the note stands.
int wordsTop(const DrawnNote& shown, int drawScale)
{
    const staff::StaffSystem system = staff::staffSystemFor(shown.clef, drawScale);
    const staff::StaffPosition position = staff::staffPositionOf(shown.note, shown.clef);
    const bool onStaffLine = position.step % 2 == 0 && position.step >= 0 && position.step <= 8;
    return system.yOf(position) - (onStaffLine ? 8 : 3) * drawScale;
}

} // namespace

void Answering::showSummary()
{
    const int scale = m_m.DrawScale;
    m_trainer.eraseShownNote();
    wipeWrongAnswerWords();
    m_ports.surface.setNameLabels("");
    const auto lines
        = m_examLines.empty() ? m_judge.session().summaryLines(m_history.bestSession(), m_m.Naming) : m_examLines;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = (SummaryTop + SummaryLinePitch * static_cast<int>(i)) * scale;
        m_ports.surface.text(SummaryLeft * scale, top, summaryLetterHeight(lines[i], scale), lines[i], staff::Black);
    }
    m_summaryShown = true;
}

void Answering::redrawWords()
{
    if (m_summaryShown) {
        wipeSummary();
        showSummary();
    }
    if (const auto wrong = m_wrongAnswer)
        showWrongAnswerWords(wrong->first, wrong->second);
}

void Answering::wipeSummary()
{
    if (!m_summaryShown)
        return;
    const auto scale = static_cast<float>(m_m.DrawScale);
    m_ports.surface.filledRectangle(SummaryLeft * scale, 0, SummaryRight * scale, SummaryBottom * scale, staff::White);
    m_summaryShown = false;
}

// Notes as they stand on the staff, or a key played as the key spells it, joined by "+".
std::string Answering::namesOf(const std::vector<int>& notes) const
{
    std::string names;
    for (const int midi : notes) {
        const auto written
            = std::find_if(m_chord.begin(), m_chord.end(), [midi](SpelledNote n) { return midiNoteOf(n) == midi; });
        SpelledNote note = spellInKey(midi, m_trainer.key());
        if (written != m_chord.end())
            note = *written;
        else if (midi == m_shown.midiNote())
            note = m_shown.note;
        if (!names.empty())
            names += '+';
        names += noteName(note, m_m.Naming, true);
    }
    return names;
}

void Answering::showWrongAnswerWords(const std::vector<int>& played, const std::vector<int>& shown)
{
    wipeWrongAnswerWords();
    m_wrongAnswer = { played, shown };
    m_wrongWords = translate("Answers", "Hai suonato %1 · era %2").arg(namesOf(played)).arg(namesOf(shown));
    const int scale = m_m.DrawScale;
    const int top = wordsTop(m_shown, scale);
    m_ports.surface.text(WordsLeft * scale, top, WordsLetterHeight * scale, m_wrongWords, staff::Red);
    m_wrongWordsBox = { static_cast<float>(WordsLeft * scale), static_cast<float>(top),
        static_cast<float>(WordsRight * scale), static_cast<float>(top + WordsBoxHeight * scale) };
}

void Answering::wipeWrongAnswerWords()
{
    if (m_wrongWords.empty())
        return;
    const auto [left, top, right, bottom] = m_wrongWordsBox;
    m_ports.surface.filledRectangle(left, top, right, bottom, staff::White);
    m_wrongWords = {};
    m_wrongAnswer.reset();
}

} // namespace zintaro::compose
