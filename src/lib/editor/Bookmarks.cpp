#include "editor/Bookmarks.h"

#include "shell/LineFile.h"
#include "shell/NumberText.h"
#include "shell/XmlParser.h"

namespace tb {

void Bookmarks::toggle(int number, std::int32_t col, std::int32_t row) {
    Bookmark& entry = at(number);
    entry.col = col;
    entry.row = row;
    entry.enabled = !entry.enabled;
}

std::optional<CellPoint> Bookmarks::recall(int number) const {
    const Bookmark& entry = at(number);
    if (!entry.enabled)
        return std::nullopt;
    return CellPoint{entry.col, entry.row};
}

std::vector<int> Bookmarks::numbersAt(std::int32_t col, std::int32_t row) const {
    std::vector<int> numbers;
    for (int i = 0; i < kBookmarkCount; ++i) {
        const Bookmark& entry = m_entries[std::size_t(i)];
        if (entry.enabled && entry.col == col && entry.row == row)
            numbers.push_back(i);
    }
    return numbers;
}

BookmarkChordResult bookmarkChord(Bookmarks& bookmarks, int digit, bool ctrl, bool alt,
                                  std::int32_t selectedCol, std::int32_t selectedRow) {
    BookmarkChordResult result;
    if (!ctrl || digit < 0 || digit >= kBookmarkCount)
        return result;
    if (alt) {
        bookmarks.toggle(digit, selectedCol, selectedRow);
        result.repaintView = true;
    }
    result.jumpTo = bookmarks.recall(digit);
    return result;
}

std::vector<std::string> bookmarkFileLines(const Bookmarks& bookmarks) {
    std::vector<std::string> lines;
    lines.reserve(2 + kBookmarkCount * 5 + 1);
    lines.emplace_back("<?xml version=\"1.0\" ?>");
    lines.emplace_back("<BookmarkList>");
    for (int i = 0; i < kBookmarkCount; ++i) {
        const Bookmark& entry = bookmarks.at(i);
        const std::string id = std::to_string(i);
        lines.push_back("  <Bookmark id=\"" + id + "\">");
        lines.push_back("    <Col id=\"" + id + "\">" + std::to_string(entry.col) + "</Col>");
        lines.push_back("    <Row id=\"" + id + "\">" + std::to_string(entry.row) + "</Row>");
        lines.push_back("    <Enabled id=\"" + id + "\">" + (entry.enabled ? "True" : "False") +
                        "</Enabled>");
        lines.emplace_back("  </Bookmark>");
    }
    lines.emplace_back("</BookmarkList>");
    return lines;
}

void writeBookmarkFile(const std::filesystem::path& path, const Bookmarks& bookmarks) {
    writeLines(path, bookmarkFileLines(bookmarks));
}

namespace {

void scanBookmarks(XmlParser& parser, Bookmarks& bookmarks) {
    int counter = 0;
    while (parser.nextPart()) {
        const XmlPartType type = parser.partType();
        if (type == XmlPartType::EndTag) {
            if (parser.partName() == "Bookmark")
                ++counter;
            continue;
        }
        if ((type != XmlPartType::Text && type != XmlPartType::CData) || counter >= kBookmarkCount)
            continue;
        const std::string& name = parser.partName();
        Bookmark& entry = bookmarks.at(counter);
        if (name == "Col")
            entry.col = strToInt(parser.partText());
        else if (name == "Row")
            entry.row = strToInt(parser.partText());
        else if (name == "Enabled")
            entry.enabled = parser.partText() == "True";
    }
}

} // namespace

void readBookmarkFile(const std::filesystem::path& path, Bookmarks& bookmarks) {
    XmlParser parser;
    parser.loadFile(path); // an unreadable file is an empty document
    parser.restart();
    scanBookmarks(parser, bookmarks);
}

void readBookmarkDocument(std::string_view bytes, Bookmarks& bookmarks) {
    XmlParser parser;
    parser.loadFromBytes(bytes);
    parser.restart();
    scanBookmarks(parser, bookmarks);
}

} // namespace tb
