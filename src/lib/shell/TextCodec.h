#pragma once
// Conversions between Windows-1252, the code page of the text files the editor reads and
// writes, and UTF-8, the encoding of every string inside the library.
//
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// the C1 controls of the same value, so every byte survives a round trip.

#include <optional>
#include <string>
#include <string_view>

namespace tb {

// U+FFFD, given for malformed UTF-8 by decodeUtf8.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The Unicode code point of one Windows-1252 byte.
char32_t windows1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of a code point, or nothing when the code page lacks it.
std::optional<unsigned char> unicodeToWindows1252(char32_t codePoint);

// True when the code point has a Windows-1252 byte.
bool isInWindows1252(char32_t codePoint);

// Appends the UTF-8 form of a code point (U+FFFD for surrogates and values past U+10FFFF).
void appendUtf8(std::string& out, char32_t codePoint);

// Decodes the UTF-8 sequence at text[pos] and moves pos past it. A malformed sequence
// (truncated, overlong, surrogate, past U+10FFFF) gives U+FFFD and moves pos by one byte.
// pos must be below text.size().
char32_t decodeUtf8(std::string_view text, std::size_t& pos);

// True when the whole text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

// Windows-1252 bytes to UTF-8 text; never fails.
std::string windows1252ToUtf8(std::string_view bytes);

// UTF-8 text to Windows-1252 bytes; a character the code page lacks, and every byte of
// malformed UTF-8, becomes `replacement`.
std::string utf8ToWindows1252(std::string_view text, char replacement = '?');

} // namespace tb
