#pragma once

#include "core/translation.h"

namespace zintaro::storage {

// Why the system refused a file, in the chosen language for the reasons a
// student meets (no room, no permission, no such folder); the system's own
// words for the rare rest.
Text systemReason(int error);

} // namespace zintaro::storage
