#pragma once

#include "compose/progress_figures.h"

#include <QString>

class QWidget;

// What the program and the separately loaded progress module share: one
// function, looked up by name, that builds the page. Everything the page
// shows or needs comes in its argument, so the module keeps no state of its
// own beside the program's.
namespace zintaro::progress {

struct PageInput {
    compose::ProgressFigures figures;
    QString filesFolder; // where "Esporta PDF" writes
    NoteNaming naming = NoteNaming::Solfege; // of the note names written
};

// Builds the page as a window of its own over `parent`; it deletes itself
// when closed.
using CreatePageFunction = QWidget* (*)(const PageInput* input, QWidget* parent);
inline constexpr const char* CreatePageSymbol = "zintaro_progress_create_page";

// The module's file name, without a folder.
inline constexpr const char* ModuleFileName = "zintaro-progress.so";

} // namespace zintaro::progress
