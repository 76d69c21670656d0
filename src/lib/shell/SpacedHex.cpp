#include "shell/SpacedHex.h"

#include "shell/Errors.h"

namespace tb {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

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

} // namespace tb
