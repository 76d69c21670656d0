#pragma once
// Builders for diff inputs (full-size statics pairs and sparse map files) and a reader
// for the patches the engine writes.

#include "diff/DiffFormat.h"
#include "diff/DiffGenerator.h"
#include "shell/LittleEndian.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace difftest {

namespace fs = std::filesystem;

// `count` 7-byte records with contents that depend on `seed`.
inline std::vector<unsigned char> records(int count, int seed) {
    std::vector<unsigned char> bytes(std::size_t(count) * tb::kStaticRecSize);
    std::uint32_t v = 2166136261u ^ std::uint32_t(seed);
    for (auto& b : bytes) {
        v = v * 16777619u + 0x9E3779B9u;
        b = static_cast<unsigned char>(v >> 24);
    }
    return bytes;
}

// A statics pair in memory: an index of `columns` x `rows` entries (all Lookup -1 at
// first) and the records file.
class StaticsSet {
public:
    explicit StaticsSet(int columns = tb::kDiffBlockColumns, int rows = tb::kDiffBlockRows)
        : m_rows(rows), m_index(std::size_t(columns) * std::size_t(rows) * tb::kStaticPointerSize) {
        for (std::size_t i = 0; i < m_index.size(); i += tb::kStaticPointerSize)
            tb::encodeStaticPointer(m_index.data() + i, {-1, 0, 0});
    }

    void setEntry(int x, int y, tb::StaticPointer p) {
        tb::encodeStaticPointer(m_index.data() + offset(x, y), p);
    }
    tb::StaticPointer entry(int x, int y) const {
        return tb::decodeStaticPointer(m_index.data() + offset(x, y));
    }
    // Appends the records to the statics file and points block (x, y) at them.
    tb::StaticPointer addBlock(int x, int y, const std::vector<unsigned char>& recs,
                               std::uint32_t extra = 0) {
        tb::StaticPointer p{std::int32_t(m_statics.size()), std::uint32_t(recs.size()), extra};
        m_statics.insert(m_statics.end(), recs.begin(), recs.end());
        setEntry(x, y, p);
        return p;
    }
    std::vector<unsigned char>& statics() { return m_statics; }

    void write(const fs::path& staIdx, const fs::path& statics) const {
        writeFile(staIdx, m_index);
        writeFile(statics, m_statics);
    }

    static void writeFile(const fs::path& path, const std::vector<unsigned char>& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + path.string());
    }

private:
    std::size_t offset(int x, int y) const {
        return (std::size_t(x) * std::size_t(m_rows) + std::size_t(y)) * tb::kStaticPointerSize;
    }
    int m_rows;
    std::vector<unsigned char> m_index;
    std::vector<unsigned char> m_statics;
};

// A map of `columns` x `rows` zero blocks, sparse on disk.
inline void writeZeroMap(const fs::path& path, int columns = tb::kDiffBlockColumns,
                         int rows = tb::kDiffBlockRows) {
    { std::ofstream(path, std::ios::binary | std::ios::trunc); }
    fs::resize_file(path, std::uintmax_t(columns) * std::uintmax_t(rows) * 196);
}

// Overwrites the 196 bytes of block (x, y) of a map file with `rows` blocks per column.
inline void writeMapBlock(const fs::path& path, int x, int y, unsigned char fill,
                          int headerWord = 0, int rows = tb::kDiffBlockRows) {
    std::vector<unsigned char> block(196, fill);
    tb::writeU32(block.data(), std::uint32_t(headerWord));
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp((std::streamoff(x) * rows + std::streamoff(y)) * 196);
    f.write(reinterpret_cast<const char*>(block.data()), 196);
    if (!f)
        throw std::runtime_error("cannot write block to " + path.string());
}

// The three files of one set in `dir`.
inline tb::DiffFileSet fileSet(const fs::path& dir) {
    return {dir / "staidx0.mul", dir / "statics0.mul", dir / "map0.mul"};
}

inline std::vector<unsigned char> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A written patch of a grid with `rows` blocks per column, read back.
class Patch {
public:
    explicit Patch(const fs::path& path, int rows = tb::kDiffBlockRows)
        : bytes(readAll(path)), header(tb::decodeHeader(bytes)), m_rows(rows) {}

    std::pair<std::int32_t, std::int32_t> staticsEntry(int x, int y) const {
        const std::size_t at = std::size_t(header.staticsIndexPos) +
                               (std::size_t(x) * std::size_t(m_rows) + std::size_t(y)) * 8;
        return {tb::readI32(bytes.data() + at), tb::readI32(bytes.data() + at + 4)};
    }
    std::int32_t mapEntry(int x, int y) const {
        const std::size_t at = std::size_t(header.mapIndexPos) +
                               (std::size_t(x) * std::size_t(m_rows) + std::size_t(y)) * 4;
        return tb::readI32(bytes.data() + at);
    }
    std::vector<unsigned char> slice(std::int64_t pos, std::size_t length) const {
        return {bytes.begin() + pos, bytes.begin() + pos + std::int64_t(length)};
    }

    std::vector<unsigned char> bytes;
    tb::TBHDInfo header;

private:
    int m_rows;
};

} // namespace difftest
