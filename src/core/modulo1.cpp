#include "core/modulo1.h"

namespace zintaro {

void recomputeTempoDurations(Modulo1& m, int tempo)
{
    m.TempoDurations = tempoDurationsFor(tempo);
}

} // namespace zintaro
