#include "share/StrokeJournal.h"

#include "shell/Errors.h"
#include "shell/FileBytes.h"
#include "shell/FileReplace.h"
#include "shell/FolderSync.h"
#include "shell/LittleEndian.h"
#include "shell/NativeFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace tb {
namespace {

constexpr char kMagic[8] = {'T', 'B', 'S', 'T', 'R', 'O', 'K', 'E'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 8 + 4 + 4 + 16 + 1 + 4 + 4;
constexpr std::size_t kCellSizeInFile = 4 + 4 + 3 + 3;
constexpr std::size_t kItemSize = 1 + 13 + 13;
constexpr const char* kExtension = ".stroke";

void putCell(std::vector<unsigned char>& out, MapCell cell) {
    out.push_back(static_cast<unsigned char>(cell.tileId));
    out.push_back(static_cast<unsigned char>(cell.tileId >> 8));
    out.push_back(static_cast<unsigned char>(cell.altitude));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    unsigned char b[4];
    writeU32(b, v);
    out.insert(out.end(), b, b + 4);
}

void putItem(std::vector<unsigned char>& out, const PlacedItem& item) {
    put32(out, std::uint32_t(item.x));
    put32(out, std::uint32_t(item.y));
    out.push_back(static_cast<unsigned char>(item.id));
    out.push_back(static_cast<unsigned char>(item.id >> 8));
    out.push_back(static_cast<unsigned char>(item.z));
    out.push_back(static_cast<unsigned char>(item.hue));
    out.push_back(static_cast<unsigned char>(item.hue >> 8));
}

MapCell cellAt(const unsigned char* p) {
    return {readU16(p), static_cast<std::int8_t>(p[2])};
}

PlacedItem itemAt(const unsigned char* p) {
    return {readI32(p), readI32(p + 4), readU16(p + 8), static_cast<std::int8_t>(p[10]),
            readU16(p + 11)};
}

std::string fileName(std::uint64_t sequence) {
    std::string digits = std::to_string(sequence);
    return std::string(digits.size() < 12 ? 12 - digits.size() : 0, '0') + digits + kExtension;
}

} // namespace

StrokeJournal::StrokeJournal(fs::path dir, int facet) : m_dir(std::move(dir)), m_facet(facet) {
    std::error_code ec;
    fs::create_directories(m_dir, ec);
    if (ec || !fs::is_directory(m_dir))
        throw FileError("Cannot make the journal folder \"" + m_dir.string() +
                        "\": " + ec.message());
    // New files go after every file there, read or not.
    for (const auto& [sequence, path] : listFiles())
        m_next = std::max(m_next, sequence + 1);
}

std::vector<unsigned char> StrokeJournal::encode(const Stroke& stroke, int facet) {
    std::vector<unsigned char> out(kMagic, kMagic + 8);
    out.reserve(kHeaderSize + stroke.cells.size() * kCellSizeInFile +
                stroke.items.size() * kItemSize);
    put32(out, kVersion);
    put32(out, std::uint32_t(facet));
    out.insert(out.end(), stroke.id.begin(), stroke.id.end());
    out.push_back(static_cast<unsigned char>(stroke.mode));
    put32(out, std::uint32_t(stroke.cells.size()));
    put32(out, std::uint32_t(stroke.items.size()));
    for (const CellEdit& c : stroke.cells) {
        put32(out, std::uint32_t(c.x));
        put32(out, std::uint32_t(c.y));
        putCell(out, c.before);
        putCell(out, c.after);
    }
    for (const ItemEdit& e : stroke.items) {
        out.push_back(static_cast<unsigned char>(e.kind));
        putItem(out, e.before);
        putItem(out, e.after);
    }
    return out;
}

std::optional<Stroke> StrokeJournal::decode(const std::vector<unsigned char>& bytes, int facet) {
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, 8) != 0)
        return std::nullopt;
    const unsigned char* p = bytes.data();
    if (readU32(p + 8) != kVersion || readI32(p + 12) != facet)
        return std::nullopt;
    Stroke stroke;
    std::copy(p + 16, p + 32, stroke.id.begin());
    const unsigned char mode = p[32];
    if (mode > static_cast<unsigned char>(StrokeMode::WhereUnchanged))
        return std::nullopt;
    stroke.mode = static_cast<StrokeMode>(mode);
    const std::uint64_t cells = readU32(p + 33);
    const std::uint64_t items = readU32(p + 37);
    if (bytes.size() != kHeaderSize + cells * kCellSizeInFile + items * kItemSize)
        return std::nullopt;
    p += kHeaderSize;
    stroke.cells.reserve(cells);
    for (std::uint64_t i = 0; i < cells; ++i, p += kCellSizeInFile)
        stroke.cells.push_back({readI32(p), readI32(p + 4), cellAt(p + 8), cellAt(p + 11)});
    stroke.items.reserve(items);
    for (std::uint64_t i = 0; i < items; ++i, p += kItemSize) {
        if (p[0] > static_cast<unsigned char>(ItemEditKind::Replace))
            return std::nullopt;
        stroke.items.push_back({static_cast<ItemEditKind>(p[0]), itemAt(p + 1), itemAt(p + 14)});
    }
    return stroke;
}

std::vector<std::pair<std::uint64_t, fs::path>> StrokeJournal::listFiles() const {
    std::vector<std::pair<std::uint64_t, fs::path>> found;
    std::error_code ec;
    for (fs::directory_iterator it(m_dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        const std::string stem = path.stem().string();
        if (path.extension() != kExtension || stem.empty() || stem.size() > 18 ||
            !std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue; // the atomic writer's temporary files among them
        found.emplace_back(std::stoull(stem), path);
    }
    if (ec)
        throw FileError("Cannot read the journal folder \"" + m_dir.string() +
                        "\": " + ec.message());
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<Stroke> StrokeJournal::read() {
    std::vector<Stroke> strokes;
    const std::lock_guard lock(*m_lock);
    m_files.clear();
    for (const auto& [sequence, path] : listFiles()) {
        std::optional<Stroke> stroke = decode(readFileBytes(path), m_facet);
        if (!stroke)
            throw FileError("The journal file \"" + path.string() +
                            "\" is damaged or belongs to another facet.");
        m_files[stroke->id] = path;
        m_next = std::max(m_next, sequence + 1);
        strokes.push_back(std::move(*stroke));
    }
    return strokes;
}

void StrokeJournal::add(const Stroke& stroke) {
    const std::vector<unsigned char> bytes = encode(stroke, m_facet);
    std::uint64_t sequence = 0;
    {
        const std::lock_guard lock(*m_lock);
        sequence = m_next++;
    }
    const fs::path path = m_dir / fileName(sequence);
    // Whole or not at all: written beside its name, then renamed. Not synced to the disk
    // here (that would cost more than the commit it guards); makeDurable() does that for a
    // stroke that has to wait.
    const fs::path temp = m_dir / ("." + path.filename().string() + ".tmp");
    NativeFile file;
    std::error_code error = file.open(temp, NativeFile::Mode::CreateNew);
    if (error == std::errc::file_exists) {
        fs::remove(temp, error);
        error = file.open(temp, NativeFile::Mode::CreateNew);
    }
    if (!error)
        error = file.writeAt(0, bytes.data(), bytes.size());
    if (const std::error_code closed = file.close(); !error)
        error = closed;
    if (!error)
        error = moveOver(temp, path);
    if (error) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw FileError(fileErrorText(path, "write", error));
    }
    const std::lock_guard lock(*m_lock);
    m_files[stroke.id] = path;
}

bool StrokeJournal::holds(const StrokeId& id) const {
    const std::lock_guard lock(*m_lock);
    return m_files.contains(id);
}

std::size_t StrokeJournal::size() const {
    const std::lock_guard lock(*m_lock);
    return m_files.size();
}

// The flush runs unlocked: only the thread that removes files makes them durable.
void StrokeJournal::makeDurable(const StrokeId& id) {
    fs::path path;
    {
        const std::lock_guard lock(*m_lock);
        const auto it = m_files.find(id);
        if (it == m_files.end())
            return;
        path = it->second;
    }
    NativeFile file;
    std::error_code error = file.open(path, NativeFile::Mode::ReadWrite);
    if (!error)
        error = file.flushToDisk();
    if (const std::error_code closed = file.close(); !error)
        error = closed;
    if (!error)
        error = syncFolder(m_dir);
    if (error)
        throw FileError(fileErrorText(path, "write", error));
}

void StrokeJournal::remove(const StrokeId& id) {
    const std::lock_guard lock(*m_lock);
    const auto it = m_files.find(id);
    if (it == m_files.end())
        return;
    std::error_code ec;
    fs::remove(it->second, ec);
    if (ec)
        throw FileError("Cannot remove the journal file \"" + it->second.string() +
                        "\": " + ec.message());
    m_files.erase(it);
}

fs::path StrokeJournal::folderFor(const fs::path& base, const std::string& uri, int facet) {
    std::string rest = uri;
    for (const char* scheme : {"postgresql://", "postgres://"})
        if (rest.starts_with(scheme))
            rest.erase(0, std::strlen(scheme));
    // "user:password@host": the password never reaches the disk.
    const auto at = rest.find('@');
    const auto colon = rest.find(':');
    if (at != std::string::npos && colon != std::string::npos && colon < at)
        rest.erase(colon, at - colon);
    const auto query = rest.find("password=");
    if (query != std::string::npos)
        rest.erase(query, rest.find('&', query) == std::string::npos
                              ? std::string::npos
                              : rest.find('&', query) - query);
    std::string name;
    for (char c : rest)
        name.push_back((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                               c == '.' || c == '-' || c == '@'
                           ? c
                           : '_');
    // Long URIs are cut, with a hash of the whole telling apart those that begin alike.
    if (name.size() > 80) {
        std::uint64_t hash = 1469598103934665603ull;
        for (unsigned char c : rest)
            hash = (hash ^ c) * 1099511628211ull;
        name = name.substr(0, 64) + "_" + std::to_string(hash);
    }
    return base / (name + "_facet" + std::to_string(facet));
}

} // namespace tb
