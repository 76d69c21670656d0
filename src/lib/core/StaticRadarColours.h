#pragma once
// The radar colours of statics: the entries of radarcol.mul from 0x4000 on, entry
// 0x4000 + id for static tile id `id`. Kept beside the land table, which reads only the
// first 16383 entries.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tb {

class StaticRadarColours {
public:
    static constexpr int kFirstEntry = 0x4000;
    static constexpr int kIds = 0x10000; // static tile ids are 16-bit

    // Reads every entry the file holds from 0x4000 on (at most one per 16-bit id); a file
    // that ends earlier gives no static colours. Throws FileError when it cannot be read;
    // the colours are unchanged then.
    void read(const std::filesystem::path& radarcolFile);

    // The colour of a static tile id; 0 (black) for an id past the end of the file.
    std::uint16_t colour(int staticId) const {
        return staticId >= 0 && std::size_t(staticId) < m_table.size()
                   ? m_table[std::size_t(staticId)]
                   : 0;
    }

    // How many static ids have a colour from the file.
    int size() const { return int(m_table.size()); }

private:
    std::vector<std::uint16_t> m_table;
};

} // namespace tb
