#pragma once
// Small helpers that many windows share: spaced hexadecimal (the way tile ids and
// checksums are shown byte by byte), two text splitters, and named tile groups with the
// random pick that paints them.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

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

// A named tile group: the name shown in the drawing-mode list and the ids as the file
// holds them ("$0245"). Ids are converted only when one is picked; order is kept and a
// repeated id is picked that much more often.
struct TileNamed {
    std::string tileName;
    std::vector<std::string> tileIds;

    bool operator==(const TileNamed&) const = default;
};
using TTileNamed = TileNamed;

// The application's one source of random numbers, handed to whatever needs it so tests can
// seed or script it.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniformly distributed integer in [0, n); n > 0.
    virtual int uniform(int n) = 0;
};

// The default random source on a Mersenne twister; the application seeds it from the
// clock once, tests with a fixed value.
class MtRandomSource : public RandomSource {
public:
    explicit MtRandomSource(std::uint32_t seed) : m_engine(seed) {}
    int uniform(int n) override;

private:
    std::mt19937 m_engine;
};

// One id picked uniformly from the group, read as an integer (decimal or "$" hex).
// Throws std::out_of_range "List index out of bounds (0)" for a group without ids and
// ConversionError "'<id>' is not a valid integer value" for an id that is no integer.
std::int32_t randomTileId(const TileNamed& group, RandomSource& random);

} // namespace tb
