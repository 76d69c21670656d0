#include "MapFixtures.h"

#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace toolstest {

tb::MapVariant variantNamed(std::string_view fileName, std::string_view sizeText) {
    for (const tb::MapVariant& v : tb::mapVariants())
        if (v.fileName == fileName && tb::mapSizeText(v.size()) == sizeText)
            return v;
    throw std::logic_error("no such variant");
}

std::uint16_t patternTile(int x, int y, int seed) {
    return std::uint16_t(1 + ((x * 131 + y * 7 + seed * 977) % 0x3FFF));
}

std::int8_t patternAltitude(int x, int y, int seed) {
    return std::int8_t((x * 3 + y * 5 + seed) % 256 - 128);
}

std::vector<unsigned char> patternMap(const tb::MapVariant& variant, int seed) {
    std::vector<unsigned char> bytes(std::size_t(variant.fileSize), 0x5C);
    const int h = variant.heightBlocks();
    for (std::int64_t block = 0; block < std::int64_t(variant.widthBlocks()) * h; ++block)
        for (int i = 0; i < tb::kBlockHeaderSize; ++i)
            bytes[std::size_t(block * tb::kBlockSize + i)] = std::uint8_t(0xA0 + block % 16);
    for (int x = 0; x < variant.width; ++x)
        for (int y = 0; y < variant.height; ++y)
            setCellIn(bytes, x, y, h, {patternTile(x, y, seed), patternAltitude(x, y, seed)});
    return bytes;
}

std::vector<unsigned char> readFile(const fs::path& path) {
    std::vector<unsigned char> bytes(fs::file_size(path));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!in || in.gcount() != std::streamsize(bytes.size()))
        throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

void makeSparseFile(const fs::path& path, std::int64_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).close();
    std::error_code ec;
    fs::resize_file(path, std::uintmax_t(size), ec);
    if (ec)
        throw std::runtime_error("cannot make " + path.string() + ": " + ec.message());
}

void writeBytesAt(const fs::path& path, std::int64_t offset,
                  const std::vector<unsigned char>& bytes) {
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(std::streamoff(offset));
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.flush();
    if (!out)
        throw std::runtime_error("cannot write to " + path.string());
}

void writeCell(const fs::path& path, int x, int y, int heightBlocks, Cell cell) {
    writeBytesAt(
        path, tb::cellOffset(x, y, heightBlocks),
        {std::uint8_t(cell.tile), std::uint8_t(cell.tile >> 8), std::uint8_t(cell.altitude)});
}

Cell readCell(const fs::path& path, int x, int y, int heightBlocks) {
    unsigned char bytes[3] = {};
    std::ifstream in(path, std::ios::binary);
    in.seekg(std::streamoff(tb::cellOffset(x, y, heightBlocks)));
    in.read(reinterpret_cast<char*>(bytes), 3);
    if (!in || in.gcount() != 3)
        throw std::runtime_error("cannot read a cell of " + path.string());
    return {std::uint16_t(bytes[0] | (bytes[1] << 8)), std::int8_t(bytes[2])};
}

Cell cellIn(const std::vector<unsigned char>& bytes, int x, int y, int heightBlocks) {
    const unsigned char* p = bytes.data() + tb::cellOffset(x, y, heightBlocks);
    return {std::uint16_t(p[0] | (p[1] << 8)), std::int8_t(p[2])};
}

void setCellIn(std::vector<unsigned char>& bytes, int x, int y, int heightBlocks, Cell cell) {
    unsigned char* p = bytes.data() + tb::cellOffset(x, y, heightBlocks);
    p[0] = std::uint8_t(cell.tile);
    p[1] = std::uint8_t(cell.tile >> 8);
    p[2] = std::uint8_t(cell.altitude);
}

} // namespace toolstest
