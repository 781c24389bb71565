#pragma once

#include "core/translation.h"

#include <QString>

namespace zintaro::staff {

// A text of the program in the language the application has installed: the
// window and the separately loaded progress page share this one lookup, the
// application's translators.
QString shown(const Text& text);

} // namespace zintaro::staff
