#pragma once
// A PNG picture written a band of rows at a time, for pictures too large to hold whole
// (tbmap render at 16384 x 16384 pixels): 8-bit RGB, each row filtered as PNG encoders
// usually choose, all rows in one zlib stream, into a temporary file that replaces the
// target only when the last row is in.

#include "shell/AtomicFileWriter.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace tb {

// How the rows are packed. Small tries every filter on each row and deflates as encoders
// usually do; Stored keeps the rows as they are, uncompressed, so the picture is written and
// decoded at the speed of a copy: for pictures of data whose time matters more than their
// size (tile images, where deflating and inflating three bytes a cell took longer than all
// the rest of the work).
enum class PngPacking { Small, Stored };

class PngRowWriter {
public:
    // A picture of width x height pixels (each 1 .. 2^31 - 1) for `path`. Throws FileError
    // naming the path when the temporary file beside it cannot be made.
    PngRowWriter(const std::filesystem::path& path, int width, int height,
                 PngPacking packing = PngPacking::Small);
    ~PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    // Appends `count` rows of 32-bit pixels 0xAARRGGBB (alpha ignored), row starts `stride`
    // pixels apart. More rows than the picture has throw std::logic_error.
    void writeRows(const std::uint32_t* pixels, std::ptrdiff_t stride, int count);
    // Ends the picture and puts it in place of the old file; every row must be written.
    // Destroyed before, the old file (or nothing) stays under the name.
    void finish();

private:
    void deflateRow(const unsigned char* row, int flush);
    void writeChunk(const char* type, const unsigned char* data, std::size_t size);

    AtomicFileWriter m_file;
    int m_width;
    int m_height;
    PngPacking m_packing;
    int m_rowsDone = 0;
    z_stream m_zlib{};
    std::vector<unsigned char> m_previous; // the last row's bytes, unfiltered
    std::vector<unsigned char> m_current;
    std::vector<unsigned char> m_filtered[5]; // the row under each filter, type byte first
    std::vector<unsigned char> m_out;         // deflated bytes waiting for an IDAT chunk
};

} // namespace tb
