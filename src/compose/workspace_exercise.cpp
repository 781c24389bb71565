#include "compose/workspace.h"
#include "core/written_piece.h"

#include <algorithm>
#include <utility>

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

// The piece on the staff is the exam's, as it stands now; "A tempo" is
// asked note by note as well, for now.
void Workspace::startExam(int64_t now)
{
    std::vector<int> positions;
    std::vector<SpelledNote> notes;
    const std::vector<WrittenNote> written = writeOut(m_m.Composition, m_m.NoteCount, m_m.PieceKey, m_m.PieceMeter);
    for (int p = 0; p < m_m.NoteCount; ++p) {
        notes.push_back(written.at(static_cast<std::size_t>(p)).spelling);
        if (m_m.Composition.at(p).RestFlag == False16)
            positions.push_back(p);
    }
    storage::ExerciseSettings settings = *m_exercise;
    settings.mode = storage::ExerciseMode::SingleNotes;
    m_answering.startExam(Exam(std::move(positions), settings), std::move(notes), settings.title, now);
}

} // namespace zintaro::compose
