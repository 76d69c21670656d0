#pragma once
// Reading the game client's UOP containers ("MYP" packages).
//
// Header, little-endian: "MYP\0", version, signature, offset of the first table (64-bit),
// table capacity, file count. A table: entry count, offset of the next table (64-bit, 0 for
// the last), then that many 34-byte entries: data offset (64-bit), header length, stored
// length, length, name hash (64-bit), Adler-32 of the stored bytes, flags (16-bit: 0 stored,
// 1 zlib). An entry's bytes start at data offset + header length; an entry whose data
// offset is 0 is an unused slot. Entries are found by the hash of their name.

#include "shell/FileReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tb {

inline constexpr std::size_t kUopHeaderFieldsSize = 28;
inline constexpr std::size_t kUopTableHeaderSize = 12;
inline constexpr std::size_t kUopEntrySize = 34;
inline constexpr std::uint32_t kUopMagic = 0x0050594D; // "MYP\0"
inline constexpr std::uint32_t kUopVersion = 5;
inline constexpr std::uint32_t kUopSignature = 0xFD23EC43;
inline constexpr std::uint16_t kUopStored = 0;
inline constexpr std::uint16_t kUopZlib = 1;

struct UopEntry {
    std::int64_t dataOffset = 0; // where the entry's own header starts
    std::uint32_t headerLength = 0;
    std::uint32_t storedLength = 0; // bytes in the file after the entry's header
    std::uint32_t length = 0;       // bytes once inflated
    std::uint64_t hash = 0;
    std::uint32_t adler32 = 0;
    std::uint16_t flags = 0;
    std::size_t table = 0; // the table of the chain that lists it, from 0
    std::int64_t bytesOffset() const { return dataOffset + headerLength; }
};

class UopContainer {
public:
    // Reads the header and the whole table chain of `file`, which must outlive this object.
    // Throws FileError naming the file for a file that is no container, a table chain that
    // loops, overlaps itself or points past the end, an entry whose bytes lie past the end,
    // or two entries with one hash.
    explicit UopContainer(const FileReader& file);

    const FileReader& file() const { return *m_file; }
    std::int64_t firstTableOffset() const { return m_firstTable; }
    std::uint32_t tableCapacity() const { return m_tableCapacity; }
    std::size_t tableCount() const { return m_tableCount; }
    // The used entries, table by table in chain order, each table slot by slot.
    const std::vector<UopEntry>& entries() const { return m_entries; }
    // The entry with this name hash, or nullptr.
    const UopEntry* find(std::uint64_t hash) const;

    // The entry's bytes, inflated where stored with zlib, into `out` (entry.length bytes).
    // Throws FileError naming the file for a zlib entry that does not inflate to exactly its
    // stated length, a stored entry whose two lengths differ, or an unknown compression.
    void readEntry(const UopEntry& entry, unsigned char* out) const;

    // Throws FileError naming the container's file with `why` as the reason.
    [[noreturn]] void fail(const std::string& why) const;

private:
    void readTable(std::int64_t offset, std::int64_t& next, std::uint64_t& slotsRead);

    const FileReader* m_file;
    std::int64_t m_firstTable = 0;
    std::uint32_t m_tableCapacity = 0;
    std::size_t m_tableCount = 0;
    std::vector<UopEntry> m_entries;
    std::unordered_map<std::uint64_t, std::size_t> m_byHash;
};

// "0x" and 16 upper-case hexadecimal digits, as entries are named in messages.
std::string uopHashText(std::uint64_t hash);

} // namespace tb
