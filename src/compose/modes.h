#pragma once

#include "core/modulo1.h"
#include "compose/ports.h"

namespace zintaro::compose {

// "Nuovo" confirmed: the empty composition, the cursor at its start and an
// empty staff.
void NewComposition(Modulo1& m, const Ports& ports);

// "Componi" entered: the page that holds the cursor, with its bars, and the
// cursor where it stands.
void ShowComposition(Modulo1& m, const Ports& ports);

// The tempo scroll bar changed: sets the playback durations and returns the
// trainer timer's interval in milliseconds.
int HScrV_Change(Modulo1& m, int tempo);

} // namespace zintaro::compose
