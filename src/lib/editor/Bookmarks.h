#pragma once
// The ten numbered bookmarks of the map view: set and toggled with Ctrl+Alt+digit,
// recalled with Ctrl+digit, drawn as navy labels on their cells, and kept in
// bookmarklist.xml beside the program.

#include "core/MapVariant.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tb {

struct Bookmark {
    std::int32_t col = 0; // map x
    std::int32_t row = 0; // map y
    bool enabled = false;
    friend bool operator==(const Bookmark&, const Bookmark&) = default;
};

inline constexpr int kBookmarkCount = 10;
inline constexpr const char* kBookmarkFileName = "bookmarklist.xml";

class Bookmarks {
public:
    // Entry 0..9; all start at (0, 0, disabled).
    const Bookmark& at(int number) const { return m_entries.at(std::size_t(number)); }
    Bookmark& at(int number) { return m_entries.at(std::size_t(number)); }
    const std::array<Bookmark, kBookmarkCount>& entries() const { return m_entries; }

    // Ctrl+Alt+N: bookmark N takes the selected cell and its Enabled flag is inverted, so a
    // second press on any cell disables it again (storing that cell).
    void toggle(int number, std::int32_t col, std::int32_t row);

    // Ctrl+N: the cell to jump to when bookmark N is enabled.
    std::optional<CellPoint> recall(int number) const;

    // The numbers of the enabled bookmarks on cell (col, row), lowest first (the view
    // draws them in this order, so the highest ends on top).
    std::vector<int> numbersAt(std::int32_t col, std::int32_t row) const;

    friend bool operator==(const Bookmarks&, const Bookmarks&) = default;

private:
    std::array<Bookmark, kBookmarkCount> m_entries{};
};

// What a bookmark chord asks of the window.
struct BookmarkChordResult {
    bool repaintView = false;        // a bookmark was toggled: repaint the whole view
    std::optional<CellPoint> jumpTo; // put these into the jump boxes and jump
};

// The digit chords of the map view (digit 0..9 of the main keyboard): Ctrl+Alt+N toggles
// bookmark N at the selected cell; then, as Ctrl is held in both chords, an enabled
// bookmark N is recalled. Without Ctrl nothing happens.
BookmarkChordResult bookmarkChord(Bookmarks& bookmarks, int digit, bool ctrl, bool alt,
                                  std::int32_t selectedCol, std::int32_t selectedRow);

// The lines of bookmarklist.xml: the prolog, BookmarkList, and per entry a Bookmark with
// Col, Row and Enabled ("True"/"False"), all ten in number order.
std::vector<std::string> bookmarkFileLines(const Bookmarks& bookmarks);

// Writes the file (CR LF line ends), replacing it atomically. Throws FileError naming it.
void writeBookmarkFile(const std::filesystem::path& path, const Bookmarks& bookmarks);

// Reads the file into `bookmarks` in file order: text of a Col, Row or Enabled element
// sets that field of the entry counter, every Bookmark end tag advances the counter, the
// id attributes are not read and text past the tenth entry is ignored. Enabled is true
// only for the exact text "True". A missing or unreadable file changes nothing. A Col or
// Row text that is no number throws ConversionError; the entries read before it stay.
void readBookmarkFile(const std::filesystem::path& path, Bookmarks& bookmarks);

// The same for a document already in memory (file bytes).
void readBookmarkDocument(std::string_view bytes, Bookmarks& bookmarks);

} // namespace tb
