#pragma once
// A statics pair (staidxN.mul + staticsN.mul) built in memory by the tests.

#include <cstdint>
#include <vector>

namespace tbtest {

struct StaticRec {
    std::uint16_t id;
    std::uint8_t column; // inside the block, 0..7
    std::uint8_t row;
    std::int8_t z;
    std::uint16_t hue = 0;
};

class StaticsPair {
public:
    // Every entry starts as a block without statics (all bits set, as in the game's files).
    explicit StaticsPair(std::size_t blocks) : index(blocks * 12, 0xFF) {}

    // Appends the records to the data and points block `b` at them.
    void setBlock(std::size_t b, const std::vector<StaticRec>& records) {
        const auto offset = std::int32_t(data.size());
        for (const StaticRec& r : records) {
            const unsigned char bytes[7] = {static_cast<unsigned char>(r.id),
                                            static_cast<unsigned char>(r.id >> 8),
                                            r.column,
                                            r.row,
                                            static_cast<unsigned char>(r.z),
                                            static_cast<unsigned char>(r.hue),
                                            static_cast<unsigned char>(r.hue >> 8)};
            data.insert(data.end(), bytes, bytes + 7);
        }
        setEntry(b, offset, std::uint32_t(records.size() * 7));
    }

    void setEntry(std::size_t b, std::int32_t offset, std::uint32_t length) {
        const std::uint32_t fields[2] = {std::uint32_t(offset), length};
        for (int f = 0; f < 2; ++f)
            for (int i = 0; i < 4; ++i)
                index[b * 12 + std::size_t(f) * 4 + std::size_t(i)] =
                    static_cast<unsigned char>(fields[f] >> (8 * i));
    }

    std::vector<unsigned char> index;
    std::vector<unsigned char> data;
};

} // namespace tbtest
