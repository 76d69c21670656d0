#include "patch/CoordList.h"

#include "patch/KeyFile.h"
#include "shell/LineFile.h"

namespace tb {

std::vector<CoordText> readCoordEntries(const KeyFile& file) {
    std::vector<CoordText> rows;
    const int count = file.entryCount();
    rows.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const std::string section = std::to_string(i);
        rows.push_back({file.readString(section, "X", "0"), file.readString(section, "Y", "0")});
    }
    return rows;
}

std::vector<CoordText> readCoordFile(const std::filesystem::path& path) {
    return readCoordEntries(KeyFile::load(path));
}

void writeCoordFile(const std::filesystem::path& path, const std::vector<CoordText>& rows) {
    std::vector<std::string> lines;
    lines.reserve(rows.size() * 3);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::string& line : entryLines(int(i), {{"X", rows[i].x}, {"Y", rows[i].y}}))
            lines.push_back(std::move(line));
    writeLines(path, lines);
}

} // namespace tb
