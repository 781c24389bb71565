#pragma once

#include "midi/midi_system.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace zintaro::midi {

// The places searched for a General MIDI SoundFont, best first: Debian's
// default font, the other .sf2 files beside it, then the .sf3 ones; then the
// font FluidSynth itself is set to use (synth.default-soundfont); then, in
// each of the data folders in order (the XDG ones, which storage knows), the
// .sf2 and then the .sf3 files in soundfonts/ and in sounds/sf2/. Each path
// appears once.
std::vector<std::filesystem::path> defaultSoundFonts(const std::vector<std::filesystem::path>& dataFolders = {});

// The first candidate that is a readable SoundFont. Without one, `error` is
// SoundFontMissing when no candidate exists at all, else SoundFontUnreadable.
std::optional<std::filesystem::path> findSoundFont(
    const std::vector<std::filesystem::path>& candidates, MidiResult& error);

} // namespace zintaro::midi
