#pragma once
// Entry names of the game's UOP containers and their hashes. A container finds an entry by
// the hash of its lower-case name, never by its position.

#include <cstdint>
#include <string>
#include <string_view>

namespace tb {

// Bob Jenkins' lookup3 hashlittle2 over the name (ASCII letters lower-cased first), both
// seeds 0, returned as (second word << 32) | first word.
std::uint64_t uopNameHash(std::string_view name);

// "build/map<facet>legacymul/<index as 8 digits>.dat": map blocks 4096 index onwards.
std::string uopMapEntryName(int facet, std::uint32_t index);

// "build/artlegacymul/<id as 8 digits>.tga": the bytes art.mul holds for art id `id`.
std::string uopArtEntryName(std::uint32_t id);

} // namespace tb
