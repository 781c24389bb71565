#include "core/modulo1.h"

namespace zintaro {

void RecomputeTempoDurations(Modulo1& m, int tempo)
{
    m.TempoDurations = TempoDurationsFor(tempo);
}

} // namespace zintaro
