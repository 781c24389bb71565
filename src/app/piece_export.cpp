#include "app/piece_export.h"

#include "midi/instruments.h"
#include "staff/pdf_export.h"
#include "storage/export_writers.h"

#include <algorithm>

namespace zintaro::app {

storage::ExportOutcome exportPiece(const Modulo1& m, storage::ExportKind kind, const std::filesystem::path& folder,
    const std::string& name, int program)
{
    program = std::clamp(program, 0, static_cast<int>(midi::InstrumentNames.size()) - 1);
    std::string bytes;
    switch (kind) {
    case storage::ExportKind::Midi:
        // A quarter lasts as long as the tempo bar makes it in playback.
        bytes = storage::writeMidiFile(m.Composition, m.NoteCount, static_cast<int>(m.TempoDurations[2] * 1000),
            program, m.PieceKey, m.PieceMeter);
        break;
    case storage::ExportKind::MusicXml:
        bytes = storage::writeMusicXml(m.Composition, m.NoteCount,
            midi::InstrumentNames[static_cast<std::size_t>(program)], m.WriteNames, m.Naming, m.PieceKey, m.PieceMeter);
        break;
    case storage::ExportKind::Pdf:
        bytes = staff::writePdf(m.Composition, m.NoteCount, name, m.WriteNames, m.Naming, m.PieceKey, m.PieceMeter);
        break;
    }
    return storage::exportFile(folder, name, storage::exportExtension(kind), bytes);
}

} // namespace zintaro::app
