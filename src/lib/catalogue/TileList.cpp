#include "catalogue/TileList.h"

#include "shell/LineFile.h"
#include "shell/TextSplit.h"
#include "shell/XmlParser.h"

namespace tb {
namespace {

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::vector<TileNamed> readTileList(const std::filesystem::path& path) {
    XmlParser parser;
    parser.loadFile(path); // a missing file leaves the document empty
    parser.restart();
    std::vector<TileNamed> groups;
    std::string name;
    std::vector<std::string> ids;
    while (parser.nextPart()) {
        switch (parser.partType()) {
        case XmlPartType::StartTag:
            if (parser.partName() == "Tile")
                ids.clear();
            break;
        case XmlPartType::EndTag:
            if (parser.partName() == "Tile")
                groups.push_back({name, ids});
            break;
        case XmlPartType::Text:
        case XmlPartType::CData:
            if (parser.partName() == "Name")
                name = parser.partText();
            else if (parser.partName() == "TileId")
                ids.push_back(parser.partText());
            break;
        default:
            break;
        }
    }
    return groups;
}

std::vector<std::string> tileListLines(const std::vector<TileListRow>& rows) {
    std::vector<std::string> lines{"<?xml version=\"1.0\" ?>", "<TileList>"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string number = std::to_string(i);
        lines.push_back("  <Tile id=\"" + number + "\">");
        lines.push_back("    <Name id=\"" + number + "\">" + escaped(rows[i].caption) + "</Name>");
        const auto pieces = splitText(",", rows[i].idText);
        for (std::size_t j = 0; j < pieces.size(); ++j)
            lines.push_back("    <TileId id=\"" + std::to_string(j) + "\">" + escaped(pieces[j]) +
                            "</TileId>");
        lines.push_back("  </Tile>");
    }
    lines.push_back("</TileList>");
    return lines;
}

void writeTileList(const std::filesystem::path& path, const std::vector<TileListRow>& rows) {
    writeLines(path, tileListLines(rows), TextEncoding::Utf8);
}

} // namespace tb
