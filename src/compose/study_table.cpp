#include "compose/study_table.h"

#include "compose/note_memory.h"

#include <cstdio>

namespace zintaro::compose {

namespace {

constexpr double HalfPoint = 0.005;
constexpr double FivePoints = 0.05;
constexpr int ReplayDays = 56;

void addTo(StudyOutcome& sum, const StudyOutcome& one, double share)
{
    sum.nextDay += one.nextDay * share;
    sum.weekAway += one.weekAway * share;
    sum.hardestNextDay += one.hardestNextDay * share;
    sum.hardestWeekAway += one.hardestWeekAway * share;
}

std::string percent(double share)
{
    std::array<char, 16> text {};
    std::snprintf(text.data(), text.size(), "%.1f", share * 100);
    return text.data();
}

std::string fixed(double value, const char* format)
{
    std::array<char, 16> text {};
    std::snprintf(text.data(), text.size(), format, value);
    return text.data();
}

} // namespace

bool StudyCell::neverWorse() const
{
    return review.nextDay >= uniform.nextDay - HalfPoint && review.weekAway >= uniform.weekAway - HalfPoint;
}

bool StudyCell::hardestInPlay() const
{
    return uniform.hardestNextDay >= 0.2 && uniform.hardestNextDay <= 0.8;
}

bool StudyCell::hardestHelped() const
{
    return !hardestInPlay() || review.hardestNextDay >= uniform.hardestNextDay + FivePoints;
}

std::vector<StudyCell> studyTable(int seeds, int days)
{
    std::vector<StudyCell> cells;
    for (const StudentModel model : AllStudentModels) {
        for (const bool accidentals : { false, true }) {
            for (const int load : StudyLoads) {
                StudyCell cell { model, load, accidentals, {}, {} };
                for (int seed = 1; seed <= seeds; ++seed) {
                    StudyPlan plan { model, true, accidentals, load, days, false, static_cast<uint32_t>(seed) };
                    addTo(cell.review, runStudy(plan), 1.0 / seeds);
                    plan.review = false;
                    addTo(cell.uniform, runStudy(plan), 1.0 / seeds);
                }
                cells.push_back(cell);
            }
        }
    }
    return cells;
}

std::string studyTableText(const std::vector<StudyCell>& cells)
{
    std::string text = "| student | range | answers/day | next day: Ripasso | uniform | week away: Ripasso | uniform "
                       "| hardest fifth, next day: Ripasso | uniform | rules |\n"
                       "|---|---|---:|---:|---:|---:|---:|---:|---:|---|\n";
    for (const StudyCell& c : cells) {
        text += "| " + std::string(studentModelName(c.model)) + " | " + (c.accidentals ? "Alterazioni" : "first range")
            + " | " + std::to_string(c.answersPerDay) + " | " + percent(c.review.nextDay) + " | "
            + percent(c.uniform.nextDay) + " | " + percent(c.review.weekAway) + " | " + percent(c.uniform.weekAway)
            + " | " + percent(c.review.hardestNextDay) + " | " + percent(c.uniform.hardestNextDay) + " | "
            + (c.neverWorse() ? "" : "BELOW UNIFORM ") + (c.hardestHelped() ? "" : "HARDEST NOT HELPED ")
            + (c.neverWorse() && c.hardestHelped() ? "ok" : "") + " |\n";
    }
    return text;
}

std::vector<ReplayRow> replayTable(int seeds)
{
    std::vector<ReplayRow> rows;
    for (const StudentModel model : AllStudentModels) {
        ReplayRow row { model, {} };
        for (int seed = 1; seed <= seeds; ++seed) {
            StudyPlan plan { model, false, true, 0, ReplayDays, true, static_cast<uint32_t>(seed) };
            const auto history = runStudy(plan, true).rows;
            plan.seed = static_cast<uint32_t>(1000 + seed);
            const RecallWeights fitted = NoteMemory::fromHistory(runStudy(plan, true).rows).weights();
            for (size_t p = 0; p < AllRecallPredictors.size(); ++p) {
                const ReplayScore score = replayScore(history, AllRecallPredictors[p], fitted);
                row.scores[p].logLoss += score.logLoss / seeds;
                row.scores[p].auc += (score.auc - 0.5) / seeds;
                row.scores[p].calibration += score.calibration / seeds;
                row.scores[p].answers += score.answers;
            }
        }
        rows.push_back(row);
    }
    return rows;
}

std::string replayTableText(const std::vector<ReplayRow>& rows)
{
    std::string text = "| student | predictor | log loss | AUC | calibration error | first answers |\n"
                       "|---|---|---:|---:|---:|---:|\n";
    for (const ReplayRow& row : rows) {
        for (size_t p = 0; p < AllRecallPredictors.size(); ++p) {
            const ReplayScore& s = row.scores[p];
            text += "| " + std::string(studentModelName(row.model)) + " | "
                + std::string(recallPredictorName(AllRecallPredictors[p])) + " | " + fixed(s.logLoss, "%.3f") + " | "
                + fixed(s.auc, "%.3f") + " | " + fixed(s.calibration, "%.3f") + " | " + std::to_string(s.answers)
                + " |\n";
        }
    }
    return text;
}

} // namespace zintaro::compose
