#pragma once
// The one integer reader for every number text the user types or a file stores:
// decimal with an optional sign, or "$" followed by hexadecimal digits.

#include "shell/CheckedValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tb {

// The message of a failed conversion: "'<text>' is not a valid integer value", the text
// shown as messageExcerpt() shows it.
std::string notAnIntegerMessage(std::string_view text);

// Reads a signed 32-bit integer. Leading blanks are allowed; "$1A" and "0x1A" are hex,
// and hex of up to 8 digits wraps into the signed range ($FFFFFFFF is -1). Throws
// ConversionError with notAnIntegerMessage(text) on anything else.
std::int32_t strToInt(std::string_view text);

// The same, without throwing.
std::optional<std::int32_t> tryStrToInt(std::string_view text);

// The same, read once now and failing when the number is used.
CheckedValue<std::int32_t> checkedStrToInt(std::string_view text);

} // namespace tb
