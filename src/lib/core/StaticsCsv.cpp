#include "core/StaticsCsv.h"

#include "shell/AtomicFileWriter.h"
#include "shell/FileBytes.h"
#include "shell/MessageText.h"

#include <charconv>
#include <climits>
#include <optional>
#include <stdexcept>

namespace tb {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A whole field as an integer: decimal with an optional sign, or "$"/"0x" hex.
std::optional<long long> field(std::string_view text) {
    int base = 10;
    if (text.starts_with('$')) {
        text.remove_prefix(1);
        base = 16;
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || (base == 16 && text.front() == '-'))
        return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::string staticsCsvText(const std::vector<PlacedItem>& items) {
    std::string text(kStaticsCsvHeader);
    text += "\r\n";
    for (const PlacedItem& i : items)
        text += std::to_string(i.x) + ',' + std::to_string(i.y) + ',' + std::to_string(i.id) + ',' +
                std::to_string(i.z) + ',' + std::to_string(i.hue) + "\r\n";
    return text;
}

std::vector<PlacedItem> parseStaticsCsv(std::string_view text, const std::string& name) {
    std::vector<PlacedItem> items;
    int lineNumber = 0;
    while (!text.empty()) {
        // Lines end in CR LF, LF or CR alone, as the script that wrote them chose.
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = trim(text.substr(0, end));
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end != std::string_view::npos && text[end] == '\r' && next < text.size() &&
            text[next] == '\n')
            ++next;
        text.remove_prefix(next);
        ++lineNumber;
        if (line.empty() || (lineNumber == 1 && line.starts_with("x")))
            continue;
        const auto fail = [&](const std::string& what) {
            throw std::runtime_error(name + ":" + std::to_string(lineNumber) + ": " + what);
        };
        std::vector<std::string_view> parts;
        for (std::string_view rest = line;;) {
            const std::size_t comma = rest.find(',');
            parts.push_back(trim(rest.substr(0, comma)));
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
        if (parts.size() != 5)
            fail("expected 5 fields (" + std::string(kStaticsCsvHeader) + "), found " +
                 std::to_string(parts.size()));
        static const char* const names[] = {"x", "y", "id", "z", "hue"};
        static const long long low[] = {0, 0, 0, -128, 0};
        static const long long high[] = {INT32_MAX, INT32_MAX, 0xFFFF, 127, 0xFFFF};
        long long values[5];
        for (int f = 0; f < 5; ++f) {
            const auto value = field(parts[std::size_t(f)]);
            if (!value)
                fail(std::string(names[f]) + " '" + messageExcerpt(parts[std::size_t(f)]) +
                     "' is not a number");
            if (*value < low[f] || *value > high[f])
                fail(std::string(names[f]) + " " + std::to_string(*value) + " is outside " +
                     std::to_string(low[f]) + ".." + std::to_string(high[f]));
            values[f] = *value;
        }
        items.push_back({std::int32_t(values[0]), std::int32_t(values[1]), std::uint16_t(values[2]),
                         std::int8_t(values[3]), std::uint16_t(values[4])});
    }
    return items;
}

void writeStaticsCsv(const std::filesystem::path& path, const std::vector<PlacedItem>& items) {
    writeFileAtomically(path, staticsCsvText(items));
}

std::vector<PlacedItem> readStaticsCsv(const std::filesystem::path& path) {
    const std::vector<unsigned char> bytes = readFileBytes(path);
    return parseStaticsCsv(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path.string());
}

} // namespace tb
