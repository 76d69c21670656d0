#include "share/PgParams.h"

#include <limits>
#include <stdexcept>

namespace tb {
namespace {

// The header of a one-dimensional array of `count` elements of type `elementType`; an empty
// array has no dimension at all.
std::string arrayHeader(std::size_t count, std::uint32_t elementType) {
    if (count > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("too many array elements for one parameter");
    std::string out;
    appendBigEndian(out, count == 0 ? 0 : 1, 4); // dimensions
    appendBigEndian(out, 0, 4);                  // no null elements
    appendBigEndian(out, elementType, 4);
    if (count != 0) {
        appendBigEndian(out, count, 4);
        appendBigEndian(out, 1, 4); // lower bound
    }
    return out;
}

} // namespace

void appendBigEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

PgParams& PgParams::add(std::string bytes) {
    if (bytes.size() > std::size_t(std::numeric_limits<int>::max()))
        throw std::length_error("parameter too large");
    m_lengths.push_back(int(bytes.size()));
    m_formats.push_back(1);
    m_values.push_back(std::move(bytes));
    m_nulls.push_back(false);
    return *this;
}

PgParams& PgParams::null() {
    add({});
    m_nulls.back() = true;
    return *this;
}

PgParams& PgParams::int4(std::int32_t value) {
    std::string out;
    appendBigEndian(out, std::uint32_t(value), 4);
    return add(std::move(out));
}

PgParams& PgParams::int8(std::int64_t value) {
    std::string out;
    appendBigEndian(out, std::uint64_t(value), 8);
    return add(std::move(out));
}

PgParams& PgParams::text(std::string_view value) {
    return add(std::string(value));
}

PgParams& PgParams::bytea(std::span<const unsigned char> value) {
    return add(std::string(value.begin(), value.end()));
}

PgParams& PgParams::uuid(std::span<const unsigned char, 16> value) {
    return add(std::string(value.begin(), value.end()));
}

PgParams& PgParams::int4Array(std::span<const std::int32_t> values) {
    std::string out = arrayHeader(values.size(), pgtype::kInt4);
    for (std::int32_t v : values) {
        appendBigEndian(out, 4, 4);
        appendBigEndian(out, std::uint32_t(v), 4);
    }
    return add(std::move(out));
}

PgParams& PgParams::int8Array(std::span<const std::int64_t> values) {
    std::string out = arrayHeader(values.size(), pgtype::kInt8);
    for (std::int64_t v : values) {
        appendBigEndian(out, 8, 4);
        appendBigEndian(out, std::uint64_t(v), 8);
    }
    return add(std::move(out));
}

PgParams& PgParams::byteaArray(const std::vector<std::span<const unsigned char>>& values) {
    std::string out = arrayHeader(values.size(), pgtype::kBytea);
    for (const auto& v : values) {
        appendBigEndian(out, v.size(), 4);
        out.append(v.begin(), v.end());
    }
    return add(std::move(out));
}

const char* const* PgParams::values() const {
    m_pointers.clear();
    for (std::size_t i = 0; i < m_values.size(); ++i)
        m_pointers.push_back(m_nulls[i] ? nullptr : m_values[i].data());
    return m_pointers.data();
}

} // namespace tb
