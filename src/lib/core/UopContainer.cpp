#include "core/UopContainer.h"

#include "shell/Errors.h"
#include "shell/LittleEndian.h"

#include <zlib.h>

#include <cstdio>
#include <memory>
#include <unordered_set>

namespace tb {
namespace {

std::uint64_t readU64(const unsigned char* p) {
    return std::uint64_t(readU32(p)) | (std::uint64_t(readU32(p + 4)) << 32);
}

// Deflate cannot expand data by more than about 1032 to 1; a zlib entry that claims more is
// refused before anything is allocated for it.
constexpr std::uint64_t kMaxInflateRatio = 1032;

} // namespace

std::string uopHashText(std::uint64_t hash) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(hash));
    return text;
}

UopContainer::UopContainer(const FileReader& file) : m_file(&file) {
    if (file.size() < std::int64_t(kUopHeaderFieldsSize))
        fail("it is too short for a UOP container");
    unsigned char header[kUopHeaderFieldsSize];
    file.readAt(0, header, sizeof header);
    if (readU32(header) != kUopMagic)
        fail("it is no UOP container (it does not start with MYP)");
    const std::uint64_t first = readU64(header + 12);
    m_tableCapacity = readU32(header + 20);
    if (first > std::uint64_t(file.size()))
        fail("its first table lies past the end of the file");
    m_firstTable = std::int64_t(first);

    // Every slot takes 34 bytes of the file: more slots than that mean tables that overlap,
    // which would let a small file make a long chain.
    std::uint64_t slotsRead = 0;
    std::unordered_set<std::int64_t> visited;
    for (std::int64_t offset = m_firstTable; offset != 0;) {
        if (!visited.insert(offset).second)
            fail("its table chain loops back to position " + std::to_string(offset));
        std::int64_t next = 0;
        readTable(offset, next, slotsRead);
        offset = next;
    }
}

void UopContainer::readTable(std::int64_t offset, std::int64_t& next, std::uint64_t& slotsRead) {
    const std::int64_t size = m_file->size();
    if (offset < std::int64_t(kUopHeaderFieldsSize) ||
        offset > size - std::int64_t(kUopTableHeaderSize))
        fail("a table at position " + std::to_string(offset) + " lies outside the file");
    unsigned char head[kUopTableHeaderSize];
    m_file->readAt(offset, head, sizeof head);
    const std::uint32_t count = readU32(head);
    const std::uint64_t nextOffset = readU64(head + 4);
    const std::uint64_t room = std::uint64_t(size - offset) - kUopTableHeaderSize;
    if (count > room / kUopEntrySize)
        fail("the table at position " + std::to_string(offset) + " runs past the end of the file");
    slotsRead += count;
    if (slotsRead > std::uint64_t(size) / kUopEntrySize)
        fail("its tables overlap each other");
    if (nextOffset > std::uint64_t(size))
        fail("the table at position " + std::to_string(offset) +
             " points past the end of the file");
    next = std::int64_t(nextOffset);

    std::vector<unsigned char> slots(std::size_t(count) * kUopEntrySize);
    m_file->readAt(offset + std::int64_t(kUopTableHeaderSize), slots.data(), slots.size());
    for (std::uint32_t i = 0; i < count; ++i) {
        const unsigned char* p = slots.data() + std::size_t(i) * kUopEntrySize;
        UopEntry e;
        const std::uint64_t dataOffset = readU64(p);
        if (dataOffset == 0)
            continue; // an unused slot
        e.headerLength = readU32(p + 8);
        e.storedLength = readU32(p + 12);
        e.length = readU32(p + 16);
        e.hash = readU64(p + 20);
        e.adler32 = readU32(p + 28);
        e.flags = readU16(p + 32);
        e.table = m_tableCount;
        if (dataOffset > std::uint64_t(size) ||
            std::uint64_t(e.headerLength) + e.storedLength > std::uint64_t(size) - dataOffset)
            fail("the bytes of entry " + uopHashText(e.hash) + " lie past the end of the file");
        e.dataOffset = std::int64_t(dataOffset);
        if (!m_byHash.emplace(e.hash, m_entries.size()).second)
            fail("two entries have the name hash " + uopHashText(e.hash));
        m_entries.push_back(e);
    }
    ++m_tableCount;
}

const UopEntry* UopContainer::find(std::uint64_t hash) const {
    const auto it = m_byHash.find(hash);
    return it == m_byHash.end() ? nullptr : &m_entries[it->second];
}

void UopContainer::readEntry(const UopEntry& entry, unsigned char* out) const {
    if (entry.flags == kUopStored) {
        if (entry.storedLength != entry.length)
            fail("entry " + uopHashText(entry.hash) + " is stored with " +
                 std::to_string(entry.storedLength) + " bytes but states " +
                 std::to_string(entry.length));
        m_file->readAt(entry.bytesOffset(), out, entry.length);
        return;
    }
    if (entry.flags != kUopZlib)
        fail("entry " + uopHashText(entry.hash) + " uses an unknown compression (flags " +
             std::to_string(entry.flags) + ")");
    const std::string wrongLength = "entry " + uopHashText(entry.hash) +
                                    " does not inflate to its stated length of " +
                                    std::to_string(entry.length) + " bytes";
    if (entry.length > std::uint64_t(entry.storedLength) * kMaxInflateRatio + 64)
        fail(wrongLength);
    std::vector<unsigned char> stored(entry.storedLength);
    m_file->readAt(entry.bytesOffset(), stored.data(), stored.size());
    // zlib wants somewhere to write even when nothing is expected.
    unsigned char none = 0;
    uLongf produced = entry.length;
    const int result = ::uncompress(entry.length > 0 ? out : &none, &produced, stored.data(),
                                    uLong(stored.size()));
    if (result != Z_OK || produced != entry.length)
        fail(wrongLength);
}

void UopContainer::fail(const std::string& why) const {
    throw FileError("Cannot read file \"" + m_file->path().string() + "\": " + why);
}

} // namespace tb
