// Map identification and cell access: names and sizes from the input are identified, and
// cells at arbitrary coordinates are read and written on maps with and without geometry.
#include "FuzzSupport.h"

#include "core/MapImage.h"
#include "core/MapVariant.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// One map of each size kept for the whole run (the smallest file is 6 MB).
tb::MapImage& fullMap(std::size_t variantIndex) {
    static std::vector<tb::MapImage> maps = [] {
        std::vector<tb::MapImage> all;
        for (const tb::MapVariant& v : tb::mapVariants()) {
            if (v.fileName == "map4.mul" || v.fileName == "map2.mul")
                all.emplace_back(std::vector<unsigned char>(std::size_t(v.fileSize)), v);
        }
        return all;
    }();
    return maps[variantIndex % maps.size()];
}

void exerciseCells(tb::MapImage& map, FuzzedDataProvider& in) {
    for (int i = 0; i < 8 && in.remaining_bytes() > 0; ++i) {
        const std::int32_t x = in.ConsumeIntegral<std::int32_t>();
        const std::int32_t y = in.ConsumeIntegral<std::int32_t>();
        const tb::MapCell value{in.ConsumeIntegral<std::uint16_t>(),
                                in.ConsumeIntegral<std::int8_t>()};
        const bool inside = map.contains(x, y);
        try {
            map.setCell(x, y, value);
            tbfuzz::check(inside, "setCell outside the map");
            tbfuzz::check(map.cell(x, y) == value, "cell reads back differently");
            tbfuzz::check(map.cellUnchecked(x, y) == value, "unchecked read differs");
            const std::int64_t at = tb::cellOffset(x, y, map.variant()->heightBlocks());
            tbfuzz::check(at >= 0 && at + 3 <= std::int64_t(map.size()), "cell offset");
        } catch (const std::out_of_range&) {
            tbfuzz::check(!inside, "setCell refuses a cell inside the map");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string name = in.ConsumeRandomLengthString(24);
    const std::int64_t fileSize = in.ConsumeIntegral<std::int64_t>();
    const std::optional<tb::MapVariant> found = tb::identifyMapVariant(name, fileSize);
    if (found) {
        tbfuzz::check(found->fileSize == fileSize, "identified size");
        tbfuzz::check(tb::isMapFileName(name), "identified name is no map file name");
        tbfuzz::check(found->addressedSize() <= found->fileSize, "addressed size");
    }

    // A buffer of any size paired with any variant: geometry only when every block is there.
    const std::size_t variantIndex = in.ConsumeIntegralInRange<std::size_t>(0, 8);
    std::optional<tb::MapVariant> variant;
    if (variantIndex < tb::mapVariants().size())
        variant = tb::mapVariants()[variantIndex];
    const std::size_t bytes = in.ConsumeIntegralInRange<std::size_t>(0, 4096);
    tb::MapImage small(std::vector<unsigned char>(bytes, 0xAB), variant);
    tbfuzz::check(!small.hasGeometry(), "geometry on a buffer too small for it");
    exerciseCells(small, in);

    exerciseCells(fullMap(variantIndex), in);
    return 0;
}
