#pragma once

#include "core/translation.h"

namespace zintaro::storage {

// The kinds of file the program writes, as a failed write names them.
enum class WrittenFile { Composition, Exercise, Export, Settings, RecoveryCopy, Answers };

// One sentence for a write that failed with the system's error number: the
// cause as a student meets it, what was not written, and what stands, e.g.
// "Disco pieno: la composizione non è stata salvata; quella di prima è
// intatta". `earlierKept` says an earlier file of that name stands.
Text writeFailureText(WrittenFile file, int error, bool earlierKept = false);

} // namespace zintaro::storage
