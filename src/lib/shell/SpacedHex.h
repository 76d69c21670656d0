#pragma once
// Spaced hexadecimal: a value written byte by byte, most significant first, as tile ids and
// checksums are shown ("01 D3").

#include <cstdint>
#include <string>
#include <string_view>

namespace tb {

// A value as its lowest `byteCount` bytes (1 to 4), most significant first, each as two
// upper-case hex digits, joined by single blanks: (0x011A, 2) gives "01 1A". Throws
// RangeError for another byte count.
std::string intToSpacedHex(std::int64_t value, int byteCount);

// Reads spaced hex of `byteCount` bytes (1 to 4; the system uses 2 and 4): blanks anywhere
// are dropped, case is ignored, and exactly 2 x byteCount hex digits must remain. Four
// bytes give the 32-bit pattern ("FF FF FF FF" is -1). Throws ConversionError
// "Input not SpacedHex" otherwise.
std::int32_t spacedHexToInt(std::string_view text, int byteCount);

} // namespace tb
