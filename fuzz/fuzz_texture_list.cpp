// Texture list lines from arbitrary file bytes: the sorted palette filled from them, rows
// found and "Go" with ids from the list, and the typed find-id text.
#include "FuzzSupport.h"

#include "catalogue/TextureList.h"
#include "catalogue/TextureListWriter.h"
#include "shell/Errors.h"
#include "shell/LineFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = tb::decodeLines(bytes);

    std::vector<std::string> rows{"0001", "zzzz"};
    bool filled = true;
    try {
        tb::fillPaletteRows(lines, rows);
    } catch (const tb::ConversionError&) {
        filled = false;
    }
    tbfuzz::check(rows.size() == std::max<std::size_t>(lines.size(), 1), "palette row count");

    std::vector<std::string> items;
    for (const std::string& line : lines) {
        try {
            const std::int32_t value = tb::textureListValue(line);
            items.push_back(tb::textureItemText(value));
            const std::string text = tb::paletteRowText(value);
            const std::optional<std::int32_t> id = tb::paletteRowTileId(text);
            tbfuzz::check(id.has_value(), "row text without an id");
            if (filled) {
                const int row = tb::findPaletteRow(rows, *id);
                tbfuzz::check(row >= 0 && row < int(rows.size()), "listed id not found");
                const auto target = tb::paletteGo(true, rows, *id);
                tbfuzz::check(target && target->row == row, "Go in the sorted view");
            }
        } catch (const tb::ConversionError&) {
            tbfuzz::check(!filled || lines.empty(), "a line the palette read is no value");
        }
        tb::paletteRowTileId(line);
        try {
            tb::parseFindIdText(line);
        } catch (const tb::ConversionError&) {
        }
    }
    for (int row : {-1, 0, 1, int(rows.size()), 20000}) {
        tb::paletteRowTile(true, rows, row);
        tb::paletteRowTile(false, rows, row);
    }
    // Items written as a list file read back as the same items.
    const std::vector<std::string> written = tb::textureListFileLines(items);
    std::vector<std::string> back;
    tb::fillPaletteRows(tb::decodeLines(tb::encodeLines(written)), back);
    tbfuzz::check(back.size() == std::max<std::size_t>(items.size(), 1), "written list size");
    return 0;
}
