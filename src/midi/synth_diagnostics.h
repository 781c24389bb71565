#pragma once

#include <string>
#include <vector>

namespace zintaro::midi {

// FluidSynth's own log lines, kept instead of printed on the terminal:
// where the synthesizer or an audio driver fails, they say why in
// FluidSynth's words, while the user is told in the program's own.

// Routes FluidSynth's log into the diagnostics; done once, before the
// first FluidSynth call. Safe from any thread.
void collectSynthLog();

// The latest lines, oldest first ("error: ...", "warning: ..."), at most
// a few dozen.
std::vector<std::string> synthDiagnostics();

} // namespace zintaro::midi
