#pragma once

#include "midi/midi_system.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace zintaro::midi {

// The places searched for a General MIDI SoundFont, best first: Debian's
// default font, the other .sf2 files beside it, then the .sf3 ones; then the
// font FluidSynth itself is set to use (synth.default-soundfont); then, in
// each XDG data folder ($XDG_DATA_HOME, else ~/.local/share, then each of
// $XDG_DATA_DIRS, else /usr/local/share and /usr/share), the .sf2 and then
// the .sf3 files in soundfonts/ and in sounds/sf2/. Each path appears once.
std::vector<std::filesystem::path> defaultSoundFonts();

// The first candidate that is a readable SoundFont. Without one, `error` is
// SoundFontMissing when no candidate exists at all, else SoundFontUnreadable.
std::optional<std::filesystem::path> findSoundFont(
    const std::vector<std::filesystem::path>& candidates, MidiResult& error);

} // namespace zintaro::midi
