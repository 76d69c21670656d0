#include "core/StaticRadarColours.h"

#include "shell/FileBytes.h"
#include "shell/LittleEndian.h"

#include <algorithm>

namespace tb {

void StaticRadarColours::read(const std::filesystem::path& radarcolFile) {
    const std::vector<unsigned char> bytes = readFileBytes(radarcolFile);
    const std::size_t words = bytes.size() / 2;
    const std::size_t ids =
        words > std::size_t(kFirstEntry) ? std::min(words - kFirstEntry, std::size_t(kIds)) : 0;
    std::vector<std::uint16_t> table(ids);
    for (std::size_t id = 0; id < ids; ++id)
        table[id] = readU16(bytes.data() + (std::size_t(kFirstEntry) + id) * 2);
    m_table = std::move(table);
}

} // namespace tb
