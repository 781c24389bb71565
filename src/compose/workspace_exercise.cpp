#include "compose/exam.h"
#include "compose/tempo_judge.h"
#include "compose/timed_reading.h"
#include "compose/workspace.h"
#include "core/written_piece.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace zintaro::compose {

Report Workspace::open(const std::filesystem::path& file)
{
    if (file.filename().string().ends_with(storage::ExerciseExtension))
        return openExercise(file);
    return apply(LoadPiece { file });
}

Report Workspace::openExercise(const std::filesystem::path& file)
{
    storage::ExerciseLoadOutcome loaded = storage::loadExercise(file);
    if (!loaded.exercise) {
        Report r = report();
        r.piece = PieceOutcome::NotLoaded;
        r.told.push_back(std::move(loaded.text));
        return r;
    }
    const storage::ParsedComposition& piece = loaded.exercise->piece;
    Report r = apply(ReplacePiece { piece.entries, piece.key, piece.meter });
    if (r.piece != PieceOutcome::Changed)
        return r;
    // Opened as it was saved: the piece is not the student's unsaved work.
    m_recovery.setBaseline(m_m);
    const storage::ExerciseSettings& settings = loaded.exercise->settings;
    r.tempo = settings.tempo;
    r.told.push_back(settings.instructions.empty()
            ? translate("Exercise", "Esercizio «%1».").arg(settings.title)
            : translate("Exercise", "Esercizio «%1»: %2").arg(settings.title).arg(settings.instructions));
    m_exercise = settings;
    return r;
}

storage::ExerciseSettings Workspace::exerciseToSave(const std::string& title) const
{
    storage::ExerciseSettings settings;
    if (m_exercise)
        settings = *m_exercise;
    else
        settings.title = title;
    settings.tempo = std::clamp(m_tempo, storage::LowestExerciseTempo, storage::HighestExerciseTempo);
    return settings;
}

// The piece on the staff is the exam's, as it stands now. "A tempo" reads
// it in time page by page, as "Dalla composizione" does, its notes tied
// together one note of the exam.
void Workspace::startExam(int64_t now)
{
    const storage::ExerciseSettings& settings = *m_exercise;
    if (settings.mode == storage::ExerciseMode::InTime && m_m.NoteCount > 0) {
        std::vector<int> positions;
        for (int page = 0; page * StaffColumns < m_m.NoteCount; ++page) {
            const TimedPhrase phrase = piecePage(page);
            const PhraseTimeline timeline
                = timelineOfEntries(phrase.entries, phrase.meter, settings.tempo, phrase.startInMeasure);
            for (const TimedNote& note : timeline.notes)
                if (!note.isRest())
                    positions.push_back(page * StaffColumns + static_cast<int>(note.indexInMeasure));
        }
        m_timedExam.emplace(std::move(positions), settings);
        m_examStartedAt = now;
        m_timedPage = 0;
        startTimed(now);
        return;
    }
    std::vector<int> positions;
    for (int p = 0; p < m_m.NoteCount; ++p)
        if (m_m.Composition.at(p).RestFlag == False16)
            positions.push_back(p);
    m_answering.startExam(Exam(std::move(positions), settings), spelledPiece(), settings.title, now, now);
}

std::vector<SpelledNote> Workspace::spelledPiece() const
{
    std::vector<SpelledNote> notes;
    for (const WrittenNote& written : writeOut(m_m.Composition, m_m.NoteCount, m_m.PieceKey, m_m.PieceMeter))
        notes.push_back(written.spelling);
    return notes;
}

// The first try at each note counts as it was judged in time: the right
// key, "Perfetto" or "Bene". The notes missed are then asked again one by
// one, untimed, and the exam ends as one answered note by note does.
void Workspace::takeTimedExamPage(int64_t now)
{
    std::vector<NoteJudgement> judged = m_timed->judgements();
    std::ranges::sort(judged, {}, &NoteJudgement::index);
    for (const NoteJudgement& j : judged)
        if (!m_timed->timeline().notes.at(j.index).isRest())
            m_timedExam->answer({ j.rightPitch, j.timing == Timing::Perfect || j.timing == Timing::Good });
    ++m_timedPage;
    if (m_timedPage * StaffColumns < m_m.NoteCount) {
        startTimed(now);
        return;
    }
    Exam exam = std::move(*m_timedExam);
    stopTimed();
    const std::string title = exam.settings().title;
    m_answering.startExam(std::move(exam), spelledPiece(), title, m_examStartedAt, now);
}

} // namespace zintaro::compose
