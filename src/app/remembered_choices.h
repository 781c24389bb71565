#pragma once

#include "app/language.h"
#include "compose/listening.h"
#include "compose/practice_choices.h"
#include "core/translation.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace zintaro::app {

// The choices kept between runs, with the values of a first run. One INI
// file, one group per part of the window: [practice] here.
struct RememberedChoices {
    compose::PracticeChoices practice;
    // [interface]: "Lingua".
    Language language = Language::Italian;
    NoteNaming naming = NoteNaming::Solfege;
    // [trainer]: "Rispondi" on when the program starts in "Leggi".
    bool answering = false;
    // [midi]: the keyboards switched off in "Tastiera MIDI", by port name.
    std::set<std::string> keyboardsOff;
    // [input]: "Microfono", "Strumento" and "Diapason…".
    compose::ListeningChoices listening;
    // [certificate]: the student's name, asked for the first certificate.
    std::string student;

    friend bool operator==(const RememberedChoices&, const RememberedChoices&) = default;
};

// What load() found: the choices, and a sentence for the user when the file
// was damaged and was put aside.
struct LoadedChoices {
    RememberedChoices choices;
    std::optional<Text> notice;
};

// A missing file or key gives the first-run value. A file that cannot be
// read as settings, or holds a value out of range, is renamed aside
// (zintaro.conf.damaged-YYYYMMDD-HHMMSS) and every choice starts afresh, so
// the next save does not build on it.
LoadedChoices loadRememberedChoices(const std::filesystem::path& file);

// Only the language, read before the window exists (for a box the start may
// show), touching nothing: Italian for anything but a sound English choice.
Language rememberedLanguage(const std::filesystem::path& file);

// Writes every choice; a sentence for the user when the file cannot be written.
std::optional<Text> saveRememberedChoices(const std::filesystem::path& file, const RememberedChoices& choices);

} // namespace zintaro::app
