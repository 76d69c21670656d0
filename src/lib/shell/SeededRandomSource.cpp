#include "shell/SeededRandomSource.h"

namespace tb {

int SeededRandomSource::uniform(int n) {
    if (n <= 1)
        return 0;
    const auto range = std::uint32_t(n);
    // The largest multiple of n that 32 bits hold: draws at or above it would favour the
    // low values, so they are drawn again (rarely more than once).
    if (range != m_range) {
        m_range = range;
        m_limit = std::uint32_t(0x100000000ull - 0x100000000ull % range);
    }
    const std::uint32_t limit = m_limit;
    std::uint32_t draw = 0;
    do
        draw = std::uint32_t(m_engine());
    while (limit != 0 && draw >= limit);
    return int(draw % range);
}

} // namespace tb
