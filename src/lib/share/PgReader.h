#pragma once
// Reads values in PostgreSQL's binary form (network byte order) from a reply or a COPY row,
// checking every length against the bytes that are there.

#include "share/ShareErrors.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tb {

class PgReader {
public:
    explicit PgReader(std::span<const unsigned char> bytes) : m_bytes(bytes) {}
    PgReader(const char* data, std::size_t size)
        : m_bytes(reinterpret_cast<const unsigned char*>(data), size) {}

    std::size_t remaining() const { return m_bytes.size() - m_at; }
    bool atEnd() const { return m_at == m_bytes.size(); }

    std::int16_t int16() { return std::int16_t(unsignedBytes(2)); }
    std::int32_t int32() { return std::int32_t(unsignedBytes(4)); }
    std::int64_t int64() { return std::int64_t(unsignedBytes(8)); }
    // The next `size` bytes, without a copy.
    std::span<const unsigned char> bytes(std::size_t size) {
        need(size);
        const auto out = m_bytes.subspan(m_at, size);
        m_at += size;
        return out;
    }
    // A COPY field or array element: its length, then its bytes; -1 means null, given as
    // no bytes with `isNull` set.
    std::span<const unsigned char> field(bool* isNull = nullptr) {
        const std::int32_t length = int32();
        if (isNull)
            *isNull = length < 0;
        if (length < 0)
            return {};
        return bytes(std::size_t(length));
    }

    // A one-dimensional bigint[] in binary form (an empty array has no dimension).
    static std::vector<std::int64_t> int8Array(std::span<const unsigned char> bytes) {
        PgReader r(bytes);
        const std::int32_t dimensions = r.int32();
        r.int32(); // has nulls
        r.int32(); // element type
        std::vector<std::int64_t> out;
        if (dimensions == 0)
            return out;
        if (dimensions != 1)
            throw ShareError("The server's reply holds an array of more than one dimension.");
        const std::int32_t count = r.int32();
        r.int32(); // lower bound
        if (count < 0 || std::size_t(count) > r.remaining() / 12)
            throw ShareError("The server's reply holds an array cut short.");
        for (std::int32_t i = 0; i < count; ++i) {
            PgReader element(r.field());
            out.push_back(element.int64());
        }
        return out;
    }

private:
    void need(std::size_t size) const {
        if (size > remaining())
            throw ShareError("The server's reply is cut short.");
    }
    std::uint64_t unsignedBytes(int size) {
        need(std::size_t(size));
        std::uint64_t v = 0;
        for (int i = 0; i < size; ++i)
            v = (v << 8) | m_bytes[m_at + std::size_t(i)];
        m_at += std::size_t(size);
        return v;
    }

    std::span<const unsigned char> m_bytes;
    std::size_t m_at = 0;
};

} // namespace tb
