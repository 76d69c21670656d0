#pragma once
// The parameters of one prepared statement, each sent in PostgreSQL's binary form: integers
// in network byte order, arrays with their header, so that nothing is formatted as text and
// parsed again on the server.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// The type numbers of the server's catalogue that the statements use.
namespace pgtype {
inline constexpr std::uint32_t kBytea = 17;
inline constexpr std::uint32_t kInt8 = 20;
inline constexpr std::uint32_t kInt4 = 23;
inline constexpr std::uint32_t kText = 25;
inline constexpr std::uint32_t kByteaArray = 1001;
inline constexpr std::uint32_t kInt4Array = 1007;
inline constexpr std::uint32_t kInt8Array = 1016;
inline constexpr std::uint32_t kUuid = 2950;
} // namespace pgtype

class PgParams {
public:
    PgParams& int4(std::int32_t value);
    PgParams& int8(std::int64_t value);
    PgParams& text(std::string_view value);
    PgParams& bytea(std::span<const unsigned char> value);
    PgParams& uuid(std::span<const unsigned char, 16> value);
    PgParams& int4Array(std::span<const std::int32_t> values);
    PgParams& int8Array(std::span<const std::int64_t> values);
    PgParams& byteaArray(const std::vector<std::span<const unsigned char>>& values);
    // SQL null, of whatever type the statement gives the parameter.
    PgParams& null();

    int count() const { return int(m_values.size()); }
    // For PQexecPrepared: the values, their lengths and their formats (all binary). Valid
    // until the next parameter is added.
    const char* const* values() const;
    const int* lengths() const { return m_lengths.data(); }
    const int* formats() const { return m_formats.data(); }

private:
    PgParams& add(std::string bytes);

    std::vector<std::string> m_values;
    std::vector<int> m_lengths;
    std::vector<int> m_formats;
    std::vector<bool> m_nulls;
    mutable std::vector<const char*> m_pointers;
};

// Appends `value` in network byte order.
void appendBigEndian(std::string& out, std::uint64_t value, int bytes);

} // namespace tb
