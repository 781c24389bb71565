#include "compose/listening.h"

#include <algorithm>

namespace zintaro::compose {

void EchoGuard::begins(int64_t at)
{
    // A sound that starts again before the last one died away continues it.
    if (m_sounding.none() && at > m_until + TailMs)
        m_since = at;
}

void EchoGuard::sounded(int midiNote, int64_t at)
{
    if (midiNote < 0 || midiNote > 127)
        return;
    begins(at);
    m_sounding.set(static_cast<std::size_t>(midiNote));
}

void EchoGuard::silenced(int midiNote, int64_t at)
{
    if (midiNote < 0 || midiNote > 127 || !m_sounding.test(static_cast<std::size_t>(midiNote)))
        return;
    m_sounding.reset(static_cast<std::size_t>(midiNote));
    if (m_sounding.none())
        m_until = std::max(m_until, at);
}

void EchoGuard::spoke(int64_t at)
{
    begins(at);
    m_until = std::max(m_until, at + SpokenMs);
}

bool EchoGuard::isEcho(int64_t onset) const
{
    if (onset < m_since - LeadMs)
        return false;
    return m_sounding.any() || onset <= m_until + TailMs;
}

} // namespace zintaro::compose
