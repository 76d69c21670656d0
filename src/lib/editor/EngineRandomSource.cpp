#include "editor/EngineRandomSource.h"

namespace tb {

int EngineRandomSource::uniform(int n) {
    if (n <= 1)
        return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(*m_engine);
}

} // namespace tb
