// Line file decoding over arbitrary bytes (every byte-order mark), and the encoding of
// what was read: once written, lines read back unchanged.
#include "FuzzSupport.h"

#include "shell/LineFile.h"
#include "shell/TextCodec.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = tb::decodeLines(bytes);
    for (const std::string& line : lines) {
        tbfuzz::check(tb::isValidUtf8(line), "decoded line is not UTF-8");
        tbfuzz::check(line.find_first_of("\r\n") == std::string::npos, "line end in a line");
    }
    // Windows-1252: characters the code page lacks become "?" once, then stay. A first
    // line that starts with the characters of a byte-order mark ("ÿþ", "þÿ", "ï»¿") is
    // written as those bytes and read back as a mark: a known limit of the format.
    const std::string cp1252 = tb::encodeLines(lines);
    const bool looksMarked = cp1252.starts_with("\xFF\xFE") || cp1252.starts_with("\xFE\xFF") ||
                             cp1252.starts_with("\xEF\xBB\xBF");
    const std::vector<std::string> once = tb::decodeLines(cp1252);
    if (!looksMarked) {
        tbfuzz::check(once.size() == lines.size(), "line count changes on a write");
        const std::string again = tb::encodeLines(once);
        if (!again.starts_with("\xFF\xFE") && !again.starts_with("\xFE\xFF") &&
            !again.starts_with("\xEF\xBB\xBF"))
            tbfuzz::check(tb::decodeLines(again) == once, "Windows-1252 round trip");
    }
    // UTF-8 with a byte-order mark keeps every line exactly.
    const std::string utf8 = "\xEF\xBB\xBF" + tb::encodeLines(lines, tb::TextEncoding::Utf8);
    tbfuzz::check(tb::decodeLines(utf8) == lines, "UTF-8 round trip");

    static tbfuzz::MemFile file;
    file.assign(bytes);
    tbfuzz::check(tb::readLines(file.path()) == lines, "readLines differs from decodeLines");
    tbfuzz::check(tb::readFileText(file.path()) == bytes, "readFileText");
    return 0;
}
