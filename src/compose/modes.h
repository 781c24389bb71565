#pragma once

#include "compose/ports.h"
#include "core/modulo1.h"

namespace zintaro::compose {

// The four mode buttons, in the order of their indices.
enum class Mode { Compose, Listen, New, Read };

// "Nuovo" confirmed: the empty composition, the cursor at its start and an
// empty staff.
void newComposition(Modulo1& m, const Ports& ports);

// "Componi" entered: the page that holds the cursor, with its bars, and the
// cursor where it stands.
void showComposition(Modulo1& m, const Ports& ports);

// The tempo scroll bar changed: sets the playback durations and returns the
// trainer timer's interval in milliseconds.
int setTempo(Modulo1& m, int tempo);

} // namespace zintaro::compose
