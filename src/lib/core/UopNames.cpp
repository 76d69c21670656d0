#include "core/UopNames.h"

#include <cstdio>
#include <string>

namespace tb {
namespace {

constexpr std::uint32_t rotate(std::uint32_t x, int k) {
    return (x << k) | (x >> (32 - k));
}

// The three-word mix of a 12-byte block and the final avalanche of lookup3.
constexpr void mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
    a -= c, a ^= rotate(c, 4), c += b;
    b -= a, b ^= rotate(a, 6), a += c;
    c -= b, c ^= rotate(b, 8), b += a;
    a -= c, a ^= rotate(c, 16), c += b;
    b -= a, b ^= rotate(a, 19), a += c;
    c -= b, c ^= rotate(b, 4), b += a;
}

constexpr void finish(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
    c ^= b, c -= rotate(b, 14);
    a ^= c, a -= rotate(c, 11);
    b ^= a, b -= rotate(a, 25);
    c ^= b, c -= rotate(b, 16);
    a ^= c, a -= rotate(c, 4);
    b ^= a, b -= rotate(a, 14);
    c ^= b, c -= rotate(b, 24);
}

constexpr unsigned char lowerAscii(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Little-endian word of up to four bytes of `name` from `at`; missing bytes count as zero,
// which is how the last, short block adds its bytes.
constexpr std::uint32_t word(std::string_view name, std::size_t at) {
    std::uint32_t w = 0;
    for (std::size_t i = 0; i < 4 && at + i < name.size(); ++i)
        w |= std::uint32_t(lowerAscii(name[at + i])) << (8 * i);
    return w;
}

} // namespace

std::uint64_t uopNameHash(std::string_view name) {
    std::uint32_t a = 0xDEADBEEF + std::uint32_t(name.size());
    std::uint32_t b = a;
    std::uint32_t c = a;
    std::size_t at = 0;
    std::size_t left = name.size();
    for (; left > 12; left -= 12, at += 12) {
        a += word(name, at);
        b += word(name, at + 4);
        c += word(name, at + 8);
        mix(a, b, c);
    }
    // The last 1..12 bytes go through the final mix; an empty name skips it.
    if (left > 0) {
        a += word(name, at);
        b += word(name, at + 4);
        c += word(name, at + 8);
        finish(a, b, c);
    }
    return (std::uint64_t(b) << 32) | c;
}

std::string uopMapEntryName(int facet, std::uint32_t index) {
    char name[64];
    std::snprintf(name, sizeof name, "build/map%dlegacymul/%08u.dat", facet, unsigned(index));
    return name;
}

std::string uopArtEntryName(std::uint32_t id) {
    char name[48];
    std::snprintf(name, sizeof name, "build/artlegacymul/%08u.tga", unsigned(id));
    return name;
}

} // namespace tb
