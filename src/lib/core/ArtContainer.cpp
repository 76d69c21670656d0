#include "core/ArtContainer.h"

#include "core/UopContainer.h"
#include "core/UopNames.h"
#include "shell/Errors.h"
#include "shell/FileReader.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace tb {
namespace {

constexpr std::size_t kIndexEntrySize = 12;

bool isLandTileLength(std::uint32_t length) {
    return length == 2048 || length == 2024;
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

} // namespace

std::optional<fs::path> findArtContainer(const fs::path& gameDir) {
    if (isFile(gameDir / kArtContainerName))
        return gameDir / kArtContainerName;
    const std::string wanted = lowerCase(kArtContainerName);
    std::error_code ec;
    for (fs::directory_iterator it(gameDir, ec), end; !ec && it != end; it.increment(ec))
        if (lowerCase(it->path().filename().string()) == wanted && isFile(it->path()))
            return it->path();
    return std::nullopt;
}

void readArtContainer(const fs::path& path, std::vector<unsigned char>& artIndex,
                      std::vector<unsigned char>& artData) {
    const FileReader file(path);
    const UopContainer container(file);
    constexpr int kArtIds = kLandTileIdCount + kItemArtIdCount;
    std::vector<unsigned char> index(std::size_t(kArtIds) * kIndexEntrySize, 0xFF);
    // Offsets follow the ids; the entries are then read in the order they lie in the file.
    std::vector<std::pair<const UopEntry*, std::size_t>> reads;
    std::size_t dataSize = 0;
    for (int id = 0; id < kArtIds; ++id) {
        unsigned char* at = index.data() + std::size_t(id) * kIndexEntrySize;
        const UopEntry* entry = container.find(uopNameHash(uopArtEntryName(std::uint32_t(id))));
        const bool usable =
            entry && (id < kLandTileIdCount ? isLandTileLength(entry->length) : entry->length > 0);
        if (!usable) {
            writeI32(at, -1);
            writeU32(at + 4, 0);
            writeU32(at + 8, 0);
            continue;
        }
        // The index's offsets are signed 32-bit, as in artidx.mul.
        if (dataSize + entry->length > std::size_t(INT32_MAX))
            throw FileError(path.string() + ": the art entries add up to more than 2 GB");
        writeU32(at, std::uint32_t(dataSize));
        writeU32(at + 4, entry->length);
        writeU32(at + 8, 0);
        reads.emplace_back(entry, dataSize);
        dataSize += entry->length;
    }
    std::sort(reads.begin(), reads.end(), [](const auto& a, const auto& b) {
        return a.first->dataOffset < b.first->dataOffset;
    });
    std::vector<unsigned char> data(dataSize);
    for (const auto& [entry, at] : reads)
        container.readEntry(*entry, data.data() + at);
    artIndex = std::move(index);
    artData = std::move(data);
}

bool hasGameArt(const fs::path& gameDir) {
    if (gameDir.empty() || !isFile(gameDir / "texidx.mul") || !isFile(gameDir / "texmaps.mul"))
        return false;
    return (isFile(gameDir / "artidx.mul") && isFile(gameDir / "art.mul")) ||
           findArtContainer(gameDir).has_value();
}

} // namespace tb
