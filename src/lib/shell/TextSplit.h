#pragma once
// Splitting a line at a separator, as brush lines and list entries are read.

#include <string>
#include <string_view>
#include <vector>

namespace tb {

// Splits at every occurrence of `separator`: the pieces before each one unchanged, then
// the rest with trailing blanks and control characters removed. "a,b," gives "a", "b", "";
// an empty text gives one empty piece. An empty separator gives the whole (trimmed) text.
std::vector<std::string> splitText(std::string_view separator, std::string_view text);

// The same walk, read as integers: the first piece sets `first`, every further piece
// before the last separator sets `second` (a later one overwrites an earlier one), and the
// trimmed text after the last separator sets `third` (with no separator the whole text
// sets `third`). A piece that is no integer ends the walk silently: the values after it
// keep what the caller put in them. Returns true when every piece was read.
bool splitIntTriple(std::string_view separator, std::string_view text, int& first, int& second,
                    int& third);

} // namespace tb
