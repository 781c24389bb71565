// "Ripasso" measured on simulated students: the replay evaluation of the
// memory models, and four weeks of practice with "Ripasso" against the
// uniform draw for each student model, load and range.
//   bench_review [seeds]     (20 by default; the README's tables)
#include "compose/note_memory.h"
#include "compose/study_table.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace zintaro::compose;
    if (argc > 1 && std::string(argv[1]) == "--fit-defaults") {
        // The default weights: fitted on histories of every student model
        // with and without "Ripasso", at varying loads, seeds apart from the tables'.
        std::vector<RecallExample> pooled;
        for (const StudentModel model : AllStudentModels) {
            for (uint32_t seed = 500; seed < 504; ++seed) {
                for (const bool review : { false, true }) {
                    const auto rows = runStudy({ model, review, seed % 2 == 0, 0, 56, true, seed }, true).rows;
                    const auto examples = NoteMemory::recallExamplesOf(rows);
                    pooled.insert(pooled.end(), examples.begin(), examples.end());
                }
            }
        }
        const RecallWeights w = fitRecallWeights(pooled, RecallWeights::defaults());
        std::printf("%zu first answers: { %.3f, %.3f, %.3f, %.3f, %.3f }, log loss %.4f (defaults %.4f)\n",
            pooled.size(), w.w[0], w.w[1], w.w[2], w.w[3], w.w[4], recallLogLoss(pooled, w),
            recallLogLoss(pooled, RecallWeights::defaults()));
        return 0;
    }
    const int seeds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::printf("Replay of first answers (%d histories per student, eight weeks each):\n\n%s\n", std::max(1, seeds / 4),
        replayTableText(replayTable(std::max(1, seeds / 4))).c_str());
    const auto cells = studyTable(seeds);
    std::printf("Four weeks of practice, shares read right at the first try, mean of %d seeds:\n\n%s\n", seeds,
        studyTableText(cells).c_str());
    int failing = 0;
    for (const StudyCell& cell : cells)
        failing += cell.neverWorse() && cell.hardestHelped() ? 0 : 1;
    std::printf("%d of %zu cells break a rule\n", failing, cells.size());
    return 0;
}
