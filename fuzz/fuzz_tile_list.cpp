// readTileList over arbitrary file bytes, then the groups written back as a tile list
// and read again: a file written by the editor must read back as the same groups.
#include "FuzzSupport.h"

#include "catalogue/TileList.h"
#include "catalogue/TileNamed.h"
#include "shell/LineFile.h"
#include "shell/TextCodec.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Blanks, tabs, CR and LF at the ends trimmed and inner runs joined (what the reader makes
// of a written text), and no control characters.
bool isNormalised(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    if (s.empty())
        return false;
    if (blank(s.front()) || blank(s.back()))
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\t' || s[i] == '\r' || s[i] == '\n')
            return false;
        if (s[i] == ' ' && i + 1 < s.size() && s[i + 1] == ' ')
            return false;
        // The writer's id splitter trims control characters off the last piece.
        if (static_cast<unsigned char>(s[i]) < 0x20 || s[i] == 0x7F)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static tbfuzz::MemFile file;
    file.assign(bytes);
    const std::vector<tb::TileNamed> groups = tb::readTileList(file.path());

    // Rows whose name and ids survive a write unchanged: names and ids already normalised,
    // ids without "," (the writer splits the id text at commas), names in Windows-1252.
    std::vector<tb::TileListRow> rows;
    std::vector<tb::TileNamed> expected;
    for (const tb::TileNamed& g : groups) {
        if (g.tileIds.empty() || !isNormalised(g.tileName) ||
            tb::utf8ToWindows1252(g.tileName, '\0').find('\0') != std::string::npos)
            continue;
        bool usable = true;
        std::string idText;
        for (const std::string& id : g.tileIds) {
            if (!isNormalised(id) || id.find(',') != std::string::npos ||
                tb::utf8ToWindows1252(id, '\0').find('\0') != std::string::npos)
                usable = false;
            idText += (idText.empty() ? "" : ",") + id;
        }
        if (!usable)
            continue;
        rows.push_back({g.tileName, idText});
        expected.push_back(g);
    }
    const std::string written = tb::encodeLines(tb::tileListLines(rows), tb::TextEncoding::Utf8);
    file.assign(written);
    const std::vector<tb::TileNamed> again = tb::readTileList(file.path());
    tbfuzz::check(again == expected, "tile list does not read back as written");
    return 0;
}
