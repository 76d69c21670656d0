#include "shell/LineFile.h"

#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/FileBytes.h"
#include "shell/TextCodec.h"

namespace tb {
namespace {

// UTF-16 units to UTF-8; unpaired surrogates and an odd last byte become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    auto unitAt = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? char32_t(a << 8 | b) : char32_t(b << 8 | a);
    };
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i + 1 < bytes.size()) {
        char32_t unit = unitAt(i);
        i += 2;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < bytes.size()) {
            const char32_t low = unitAt(i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(out, unit); // a lone surrogate becomes U+FFFD here
    }
    if (i < bytes.size())
        appendUtf8(out, kReplacementCharacter);
    return out;
}

// Well-formed UTF-8 stays; malformed bytes become U+FFFD.
std::string sanitizeUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size())
        appendUtf8(out, decodeUtf8(bytes, pos));
    return out;
}

std::string decodeText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return sanitizeUtf8(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE"))
        return utf16ToUtf8(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return utf16ToUtf8(bytes.substr(2), true);
    return windows1252ToUtf8(bytes);
}

} // namespace

std::vector<std::string> decodeLines(std::string_view bytes) {
    const std::string text = decodeText(bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text, start, i - start);
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.emplace_back(text, start, text.size() - start);
    return lines;
}

std::string readFileText(const std::filesystem::path& path) {
    const std::vector<unsigned char> bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
    return decodeLines(readFileText(path));
}

std::string encodeLines(const std::vector<std::string>& lines, TextEncoding encoding) {
    std::string out;
    for (const auto& line : lines) {
        out += encoding == TextEncoding::Windows1252 ? utf8ToWindows1252(line) : line;
        out += "\r\n";
    }
    return out;
}

void writeLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                TextEncoding encoding) {
    writeFileAtomically(path, std::string_view(encodeLines(lines, encoding)));
}

} // namespace tb
