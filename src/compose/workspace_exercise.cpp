#include "compose/workspace.h"

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

} // namespace zintaro::compose
