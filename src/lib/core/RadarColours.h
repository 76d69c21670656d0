#pragma once
// The radar colour table: one 15-bit colour per land tile id, read from radarcol.mul.

#include <array>
#include <cstdint>
#include <filesystem>

namespace tb {

class RadarColours {
public:
    static constexpr int kEntries = 32768;
    static constexpr int kEntriesRead = 16383; // ids 0..16382; the rest stay 0

    // Reads the first 16383 words of the file into entries 0..16382. Throws FileError
    // when the file cannot be opened or is shorter; the entries read so far stay.
    void read(const std::filesystem::path& radarcolFile);

    // The colour of a tile id; 0 (black) for ids outside the table.
    std::uint16_t colour(int tileId) const {
        return tileId >= 0 && tileId < kEntries ? m_table[std::size_t(tileId)] : 0;
    }

private:
    std::array<std::uint16_t, kEntries> m_table{};
};

} // namespace tb
