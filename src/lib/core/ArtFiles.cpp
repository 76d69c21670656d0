#include "core/ArtFiles.h"

#include "core/ArtContainer.h"
#include "core/MapFile.h"
#include "shell/FileBytes.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tb {
namespace {

constexpr std::size_t kIndexEntrySize = 12;

constexpr std::uint32_t kSmallTextureBytes = 8192;  // 64 x 64
constexpr std::uint32_t kLargeTextureBytes = 32768; // 128 x 128

// A land tile is the 44 x 44 diamond stored as rows of 2, 4, ..., 44, 44, ..., 4, 2 pixels.
constexpr int kLandPixels = 1012;
constexpr std::uint32_t kLandPixelBytes = kLandPixels * 2; // 2024
// Index files of one generation record 2048 bytes per land tile, those of another the
// 2024 bytes the pixels take; both hold the same pixels at the start.
constexpr std::uint32_t kLandEntryBytes = 2048;
constexpr int kLandSide = 45; // the upright square the diamond is turned into
constexpr int kTileSide = 44; // the diamond as it lies in the world
constexpr int kWorkSide = 46; // one more, for the right and lower neighbour stores

// Land tile ids that the editor never draws from the land art (their textures it does).
constexpr int kRefusedLandIds[] = {7, 8};

// Decodes `count` 16-bit words from `data` at byte `offset`. Words that lie (wholly or
// partly) outside the data read as far as the data goes; the missing bytes are 0, so a
// tile cut by the end of its file shows black where the data stops.
void readWords(const std::vector<unsigned char>& data, std::int64_t offset, std::size_t count,
               std::uint16_t* out) {
    const auto size = std::int64_t(data.size());
    const std::int64_t wanted = std::int64_t(count) * 2;
    std::int64_t available = 0;
    if (offset >= 0 && offset < size)
        available = std::min(wanted, size - offset);
    const unsigned char* p = data.data() + (available > 0 ? offset : 0);
    const std::size_t whole = std::size_t(available / 2);
    if constexpr (std::endian::native == std::endian::little) {
        // The file's byte order is the host's: the bytes are the words.
        if (whole > 0)
            std::memcpy(out, p, whole * sizeof(std::uint16_t));
    } else {
        for (std::size_t i = 0; i < whole; ++i)
            out[i] = readU16(p + 2 * i);
    }
    std::size_t next = whole;
    if (available % 2 != 0 && next < count)
        out[next++] = p[2 * whole];
    if (next < count)
        std::memset(out + next, 0, (count - next) * sizeof(std::uint16_t));
}

// The start points of the anti-diagonal walks that lay the diamond onto the square, in
// storage order, with the number of pixels each walk takes.
struct Walk {
    int x0;
    int y0;
    int length;
};

constexpr std::array<Walk, 44> makeWalks() {
    std::array<Walk, 44> walks{};
    int x0 = 0;
    int y0 = 1;
    std::size_t n = 0;
    while (x0 <= 43) {
        int length = 0;
        for (int x = x0, y = y0; x <= 44 && y >= 0; ++x, --y)
            ++length;
        walks[n++] = Walk{x0, y0, length};
        if (y0 < 43)
            y0 += 2;
        else if (y0 == 43) {
            y0 = 44;
            x0 += 1;
        } else {
            x0 += 2;
        }
    }
    return walks;
}

constexpr std::array<Walk, 44> kWalks = makeWalks();

constexpr int walkedPixels() {
    int total = 0;
    for (const Walk& w : kWalks)
        total += w.length;
    return total;
}
static_assert(walkedPixels() == kLandPixels, "the walks take every pixel of a land tile once");

void resizeImage(Image15& image, int side) {
    image.width = side;
    image.height = side;
    // resize keeps the capacity, so a caller that reuses its image allocates only once.
    image.pixels.resize(std::size_t(side) * side);
}

bool refusedLandId(int id, const ArtIdLimits& limits) {
    for (int refused : kRefusedLandIds)
        if (id == refused)
            return true;
    return limits.firstRefusedLandId && id >= *limits.firstRefusedLandId;
}

// Ids are 16-bit everywhere in the game's files; a wider int is taken modulo 65536 so that
// the limits and the index agree on which entry is meant.
int tileIdAsWord(int tileId) {
    return static_cast<std::uint16_t>(tileId);
}

} // namespace

Rgb rgb555ToColor(std::uint16_t colour) {
    return Rgb{static_cast<std::uint8_t>(((colour >> 10) & 31) * 8),
               static_cast<std::uint8_t>(((colour >> 5) & 31) * 8),
               static_cast<std::uint8_t>((colour & 31) * 8)};
}

void ArtFiles::load(const std::filesystem::path& gameDir, Progress& progress) {
    std::vector<unsigned char>* const buffers[] = {&artIndex, &artData, &textureIndex,
                                                   &textureData};
    const char* const names[] = {"artidx.mul", "art.mul", "texidx.mul", "texmaps.mul"};
    // The land art of current clients comes in a container, read in place of the first two.
    std::error_code ec;
    const bool mulArt = std::filesystem::is_regular_file(gameDir / names[0], ec) &&
                        std::filesystem::is_regular_file(gameDir / names[1], ec);
    const std::optional<std::filesystem::path> container =
        mulArt ? std::nullopt : findArtContainer(gameDir);
    for (std::size_t i = 0; i < 4; ++i) {
        try {
            if (i == 0 && container) {
                readArtContainer(*container, artIndex, artData);
                ++i;
                continue;
            }
            *buffers[i] =
                readFileBytes(gameDir / names[i], progress, kArtLoadText, kMapLoadStoppedMessage);
        } catch (...) {
            // The failing file and the ones after it are not loaded: keeping the files of an
            // earlier directory would pair a new index with old data.
            for (std::size_t j = i; j < 4; ++j)
                std::vector<unsigned char>().swap(*buffers[j]);
            throw;
        }
    }
}

std::optional<ArtIndexEntry> readArtIndexEntry(const std::vector<unsigned char>& index, int id) {
    const std::size_t at = std::size_t(static_cast<std::uint16_t>(id)) * kIndexEntrySize;
    if (index.size() < kIndexEntrySize || at > index.size() - kIndexEntrySize)
        return std::nullopt;
    const unsigned char* p = index.data() + at;
    return ArtIndexEntry{readI32(p), readU32(p + 4), readU32(p + 8)};
}

bool makeTextureImage(const ArtFiles& art, int tileId, Image15& image, const ArtIdLimits& limits) {
    const int id = tileIdAsWord(tileId);
    if (limits.firstRefusedTextureId && id >= *limits.firstRefusedTextureId)
        return false;
    const std::optional<ArtIndexEntry> entry = readArtIndexEntry(art.textureIndex, id);
    if (!entry)
        return false;
    int side = 0;
    if (entry->length == kSmallTextureBytes)
        side = 64;
    else if (entry->length == kLargeTextureBytes)
        side = 128;
    else
        return false;
    // The offset is not judged: whatever of the square lies inside texmaps.mul is shown,
    // the rest is black.
    resizeImage(image, side);
    readWords(art.textureData, entry->offset, image.pixels.size(), image.pixels.data());
    return true;
}

namespace {

// The stored pixels of land tile `tileId`; false when it has none.
bool readLandPixels(const ArtFiles& art, int tileId, const ArtIdLimits& limits,
                    std::array<std::uint16_t, kLandPixels>& data) {
    const int id = tileIdAsWord(tileId);
    if (refusedLandId(id, limits))
        return false;
    const std::optional<ArtIndexEntry> entry = readArtIndexEntry(art.artIndex, id);
    if (!entry || entry->offset < 0) // -1 marks a missing tile; no other negative is valid
        return false;
    if (entry->length != kLandEntryBytes && entry->length != kLandPixelBytes)
        return false;
    readWords(art.artData, entry->offset, data.size(), data.data());
    return true;
}

} // namespace

bool makeLandTileImage(const ArtFiles& art, int tileId, Image15& image, const ArtIdLimits& limits) {
    std::array<std::uint16_t, kLandPixels> data;
    if (!readLandPixels(art, tileId, limits, data))
        return false;

    // Lay the diamond onto the work square along anti-diagonals. Each pixel also covers its
    // right and lower neighbours, which fills the gaps between two walks; later stores
    // overwrite earlier ones. The square is kept row-major (work[y][x]).
    std::array<std::uint16_t, std::size_t(kWorkSide) * kWorkSide> work{};
    const std::uint16_t* next = data.data();
    for (const Walk& walk : kWalks) {
        int x = walk.x0;
        int y = walk.y0;
        for (int i = 0; i < walk.length; ++i, ++x, --y) {
            const std::uint16_t p = *next++;
            std::uint16_t* at = &work[std::size_t(y) * kWorkSide + x];
            at[0] = p;
            at[1] = p;
            at[kWorkSide] = p;
        }
    }

    resizeImage(image, kLandSide);
    for (int y = 0; y < kLandSide; ++y)
        std::memcpy(&image.pixels[std::size_t(y) * kLandSide], &work[std::size_t(y) * kWorkSide],
                    kLandSide * sizeof(std::uint16_t));
    return true;
}

bool makeLandDiamondImage(const ArtFiles& art, int tileId, Image15& image,
                          const ArtIdLimits& limits) {
    std::array<std::uint16_t, kLandPixels> data;
    if (!readLandPixels(art, tileId, limits, data))
        return false;
    resizeImage(image, kTileSide);
    std::fill(image.pixels.begin(), image.pixels.end(), std::uint16_t(0));
    const std::uint16_t* next = data.data();
    for (int y = 0; y < kTileSide; ++y) {
        const int half = y < kTileSide / 2 ? y + 1 : kTileSide - y; // half the row's width
        std::uint16_t* row = &image.pixels[std::size_t(y) * kTileSide];
        for (int x = kTileSide / 2 - half; x < kTileSide / 2 + half; ++x)
            row[x] = std::uint16_t(*next++ | kDiamondPixel);
    }
    return true;
}

} // namespace tb
