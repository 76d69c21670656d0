#pragma once
// Texts a user or a file gave, as messages show them back: a 10 MB field or a line of a
// damaged file must not flood the terminal, and a NUL byte must not cut the message short.

#include <string>
#include <string_view>

namespace tb {

// The most characters of a given text that a message shows.
inline constexpr std::size_t kMessageExcerptLength = 80;

// `text` as a message shows it: NUL bytes as "\0", and only its first 80 characters with
// "..." after them when it is longer (never cut inside a UTF-8 character).
std::string messageExcerpt(std::string_view text);

} // namespace tb
