#include "catalogue/BHTools.h"

#include "shell/Errors.h"
#include "shell/NumberText.h"

#include <stdexcept>

namespace tb {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

// Walks `text` as splitText does, calling `piece(text, isLast)` for each piece until it
// returns false. Returns true when the walk reached the end.
template <typename Piece>
bool walkPieces(std::string_view separator, std::string_view text, Piece piece) {
    if (!separator.empty()) {
        for (std::size_t at = text.find(separator); at != std::string_view::npos;
             at = text.find(separator)) {
            if (!piece(text.substr(0, at), false))
                return false;
            text.remove_prefix(at + separator.size());
        }
    }
    return piece(trimRight(text), true);
}

} // namespace

std::string intToSpacedHex(std::int64_t value, int byteCount) {
    if (byteCount < 1 || byteCount > 4)
        throw RangeError();
    const auto bits = static_cast<std::uint64_t>(value);
    std::string out;
    for (int byte = byteCount - 1; byte >= 0; --byte) {
        const unsigned b = unsigned(bits >> (8 * byte)) & 0xFF;
        if (!out.empty())
            out += ' ';
        out += kHexDigits[b >> 4];
        out += kHexDigits[b & 0xF];
    }
    return out;
}

std::int32_t spacedHexToInt(std::string_view text, int byteCount) {
    if (byteCount < 1 || byteCount > 4)
        throw RangeError();
    std::uint32_t value = 0;
    int digits = 0;
    for (const char c : text) {
        if (c == ' ')
            continue;
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            throw ConversionError("Input not SpacedHex");
        if (++digits > 2 * byteCount)
            throw ConversionError("Input not SpacedHex");
        value = value << 4 | std::uint32_t(digit);
    }
    if (digits != 2 * byteCount)
        throw ConversionError("Input not SpacedHex");
    return static_cast<std::int32_t>(value);
}

std::vector<std::string> splitText(std::string_view separator, std::string_view text) {
    std::vector<std::string> pieces;
    walkPieces(separator, text, [&](std::string_view p, bool) {
        pieces.emplace_back(p);
        return true;
    });
    return pieces;
}

bool splitIntTriple(std::string_view separator, std::string_view text, int& first, int& second,
                    int& third) {
    bool isFirst = true;
    return walkPieces(separator, text, [&](std::string_view p, bool isLast) {
        const auto value = tryStrToInt(p);
        if (!value)
            return false;
        if (isLast)
            third = *value;
        else if (isFirst)
            first = *value;
        else
            second = *value;
        isFirst = false;
        return true;
    });
}

int MtRandomSource::uniform(int n) {
    if (n <= 1)
        return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(m_engine);
}

std::int32_t randomTileId(const TileNamed& group, RandomSource& random) {
    const auto count = static_cast<int>(group.tileIds.size());
    const int index = count > 0 ? random.uniform(count) : 0;
    if (index < 0 || index >= count)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return strToInt(group.tileIds[std::size_t(index)]);
}

} // namespace tb
