#include "core/PngRowWriter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace tb {
namespace {

constexpr std::size_t kChunkBytes = 1 << 18; // deflated bytes per IDAT chunk

void putU32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

unsigned char paeth(int left, int up, int upLeft) {
    const int p = left + up - upLeft;
    const int pa = std::abs(p - left);
    const int pb = std::abs(p - up);
    const int pc = std::abs(p - upLeft);
    if (pa <= pb && pa <= pc)
        return static_cast<unsigned char>(left);
    return static_cast<unsigned char>(pb <= pc ? up : upLeft);
}

// The usual choice of filter: the one whose bytes, taken as signed, add up to the least.
std::uint64_t cost(const std::vector<unsigned char>& filtered) {
    std::uint64_t sum = 0;
    for (std::size_t i = 1; i < filtered.size(); ++i)
        sum += filtered[i] < 128 ? filtered[i] : 256u - filtered[i];
    return sum;
}

} // namespace

PngRowWriter::PngRowWriter(const std::filesystem::path& path, int width, int height,
                           PngPacking packing)
    : m_file(path), m_width(width), m_height(height), m_packing(packing) {
    if (width < 1 || height < 1)
        throw std::invalid_argument("a PNG picture has at least one pixel a side");
    const std::size_t rowBytes = std::size_t(width) * 3;
    m_previous.assign(rowBytes, 0);
    m_current.resize(rowBytes);
    for (auto& f : m_filtered)
        f.resize(rowBytes + 1);
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    m_file.append(signature, sizeof signature);
    unsigned char header[13] = {};
    putU32(header, std::uint32_t(width));
    putU32(header + 4, std::uint32_t(height));
    header[8] = 8; // bits per channel
    header[9] = 2; // RGB
    writeChunk("IHDR", header, sizeof header);
    // Last, so that nothing can throw once zlib holds memory.
    const int level = packing == PngPacking::Stored ? Z_NO_COMPRESSION : Z_DEFAULT_COMPRESSION;
    if (::deflateInit2(&m_zlib, level, Z_DEFLATED, 15, 8, Z_FILTERED) != Z_OK)
        throw std::bad_alloc();
}

PngRowWriter::~PngRowWriter() {
    ::deflateEnd(&m_zlib);
}

void PngRowWriter::writeRows(const std::uint32_t* pixels, std::ptrdiff_t stride, int count) {
    if (count < 0 || count > m_height - m_rowsDone)
        throw std::logic_error("more PNG rows than the picture has");
    const std::size_t bytes = m_current.size();
    for (int r = 0; r < count; ++r, pixels += stride) {
        unsigned char* row = m_current.data();
        for (int x = 0; x < m_width; ++x) {
            const std::uint32_t p = pixels[x];
            row[3 * x] = static_cast<unsigned char>(p >> 16);
            row[3 * x + 1] = static_cast<unsigned char>(p >> 8);
            row[3 * x + 2] = static_cast<unsigned char>(p);
        }
        const unsigned char* up = m_previous.data();
        if (m_packing == PngPacking::Stored) {
            unsigned char* out = m_filtered[0].data();
            out[0] = 0; // no filter
            std::copy(row, row + bytes, out + 1);
            ++m_rowsDone;
            deflateRow(out, m_rowsDone == m_height ? Z_FINISH : Z_NO_FLUSH);
            m_previous.swap(m_current);
            continue;
        }
        for (int f = 0; f < 5; ++f)
            m_filtered[f][0] = static_cast<unsigned char>(f);
        for (std::size_t i = 0; i < bytes; ++i) {
            const int left = i >= 3 ? row[i - 3] : 0;
            const int upLeft = i >= 3 ? up[i - 3] : 0;
            m_filtered[0][i + 1] = row[i];
            m_filtered[1][i + 1] = static_cast<unsigned char>(row[i] - left);
            m_filtered[2][i + 1] = static_cast<unsigned char>(row[i] - up[i]);
            m_filtered[3][i + 1] = static_cast<unsigned char>(row[i] - (left + up[i]) / 2);
            m_filtered[4][i + 1] = static_cast<unsigned char>(row[i] - paeth(left, up[i], upLeft));
        }
        int best = 0;
        std::uint64_t bestCost = cost(m_filtered[0]);
        for (int f = 1; f < 5; ++f)
            if (const std::uint64_t c = cost(m_filtered[f]); c < bestCost) {
                best = f;
                bestCost = c;
            }
        ++m_rowsDone;
        deflateRow(m_filtered[best].data(), m_rowsDone == m_height ? Z_FINISH : Z_NO_FLUSH);
        m_previous.swap(m_current);
    }
}

void PngRowWriter::deflateRow(const unsigned char* row, int flush) {
    m_zlib.next_in = const_cast<unsigned char*>(row);
    m_zlib.avail_in = uInt(m_current.size() + 1);
    unsigned char buffer[1 << 16];
    int result = Z_OK;
    do {
        m_zlib.next_out = buffer;
        m_zlib.avail_out = sizeof buffer;
        result = ::deflate(&m_zlib, flush);
        if (result == Z_STREAM_ERROR)
            throw std::logic_error("zlib refused the PNG rows");
        m_out.insert(m_out.end(), buffer, buffer + (sizeof buffer - m_zlib.avail_out));
        while (m_out.size() >= kChunkBytes) {
            writeChunk("IDAT", m_out.data(), kChunkBytes);
            m_out.erase(m_out.begin(), m_out.begin() + std::ptrdiff_t(kChunkBytes));
        }
    } while (m_zlib.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
}

void PngRowWriter::finish() {
    if (m_rowsDone != m_height)
        throw std::logic_error("a PNG picture finished before its last row");
    if (!m_out.empty())
        writeChunk("IDAT", m_out.data(), m_out.size());
    writeChunk("IEND", nullptr, 0);
    m_file.commit();
}

void PngRowWriter::writeChunk(const char* type, const unsigned char* data, std::size_t size) {
    unsigned char head[8];
    putU32(head, std::uint32_t(size));
    std::memcpy(head + 4, type, 4);
    uLong crc = ::crc32(0, head + 4, 4);
    if (size > 0)
        crc = ::crc32(crc, data, uInt(size));
    unsigned char tail[4];
    putU32(tail, std::uint32_t(crc));
    m_file.append(head, sizeof head);
    if (size > 0)
        m_file.append(data, size);
    m_file.append(tail, sizeof tail);
}

} // namespace tb
