#pragma once
// Explicit little-endian decoding and encoding of fixed-width integers in byte buffers.
// Callers check bounds before they call; these only assemble bytes.

#include <cstddef>
#include <cstdint>

namespace tb {

inline std::uint16_t readU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t readU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline std::int32_t readI32(const unsigned char* p) {
    return static_cast<std::int32_t>(readU32(p));
}

inline void writeU16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void writeU32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline void writeI32(unsigned char* p, std::int32_t v) {
    writeU32(p, static_cast<std::uint32_t>(v));
}

} // namespace tb
