// bookmarklist.xml from arbitrary bytes; whatever was read is written and read back the same.
#include "FuzzSupport.h"

#include "editor/Bookmarks.h"
#include "shell/Errors.h"
#include "shell/LineFile.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tb::Bookmarks marks;
    try {
        tb::readBookmarkDocument(bytes, marks);
    } catch (const tb::ConversionError&) {
        // The entries read before the bad number stay; they are written below all the same.
    }
    const std::string written = tb::encodeLines(tb::bookmarkFileLines(marks));
    tb::Bookmarks again;
    tb::readBookmarkDocument(written, again);
    tbfuzz::check(again == marks, "bookmarks do not read back as written");

    for (int n = 0; n < tb::kBookmarkCount; ++n) {
        const tb::Bookmark& b = marks.at(n);
        tbfuzz::check(marks.recall(n).has_value() == b.enabled, "recall");
        marks.numbersAt(b.col, b.row);
    }
    return 0;
}
