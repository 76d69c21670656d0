// Brush files from arbitrary bytes: the grid stays bounded, and the lines it saves load
// back into the same brush.
#include "FuzzSupport.h"

#include "catalogue/BrushPattern.h"
#include "shell/LineFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tb::BrushPattern brush;
    brush.load(tb::decodeLines(bytes));
    tbfuzz::check(brush.colCount() >= 1 && brush.colCount() <= tb::BrushPattern::kMaxLoadedExtent,
                  "column count");
    tbfuzz::check(brush.rowCount() >= 1 && brush.rowCount() <= tb::BrushPattern::kMaxLoadedExtent,
                  "row count");
    for (int c = -1; c <= brush.colCount(); ++c)
        for (int r = -1; r <= brush.rowCount(); ++r) {
            const std::int32_t tile = brush.cellTile(c, r);
            tbfuzz::check(tile >= -1 && tile <= 0xFFFF, "cell tile");
        }

    const std::vector<std::string> saved = brush.fileLines();
    tb::BrushPattern again;
    again.load(tb::decodeLines(tb::encodeLines(saved)));
    tbfuzz::check(again.fileLines() == saved, "brush does not load back as saved");
    return 0;
}
