#include "core/HueFile.h"

#include "shell/FileBytes.h"
#include "shell/LittleEndian.h"

#include <system_error>

namespace tb {
namespace {

constexpr std::size_t kGroupHeader = 4;
constexpr std::size_t kEntrySize = 32 * 2 + 2 + 2 + 20; // 88
constexpr std::size_t kNameLength = 20;
static_assert(kGroupHeader + HueFile::kEntriesPerGroup * kEntrySize == HueFile::kGroupSize);

HueEntry readEntry(const unsigned char* p) {
    HueEntry entry;
    for (std::size_t i = 0; i < entry.colours.size(); ++i)
        entry.colours[i] = std::uint16_t(readU16(p + 2 * i) & 0x7FFF);
    p += 2 * entry.colours.size();
    entry.start = readU16(p);
    entry.end = readU16(p + 2);
    p += 4;
    for (std::size_t i = 0; i < kNameLength && p[i] != 0; ++i)
        entry.name += char(p[i]);
    return entry;
}

} // namespace

HueFile HueFile::fromBytes(const std::vector<unsigned char>& bytes, const std::string& name) {
    if (bytes.size() % kGroupSize != 0)
        throw HueFileError("\"" + name + "\" is not a hues file: " + std::to_string(bytes.size()) +
                           " bytes is not a whole number of " + std::to_string(kGroupSize) +
                           "-byte groups");
    HueFile file;
    file.m_entries.reserve(bytes.size() / kGroupSize * kEntriesPerGroup);
    for (std::size_t group = 0; group + kGroupSize <= bytes.size(); group += kGroupSize)
        for (std::size_t e = 0; e < std::size_t(kEntriesPerGroup); ++e)
            file.m_entries.push_back(
                readEntry(bytes.data() + group + kGroupHeader + e * kEntrySize));
    return file;
}

HueFile HueFile::load(const std::filesystem::path& path) {
    return fromBytes(readFileBytes(path), path.string());
}

std::optional<HueFile> HueFile::loadIfPresent(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return std::nullopt;
    return load(path);
}

const HueEntry* HueFile::entry(std::uint16_t hue) const {
    const std::uint16_t number = hueNumber(hue);
    if (number == 0 || number > m_entries.size())
        return nullptr;
    return &m_entries[number - 1u];
}

std::uint16_t huePixel(std::uint16_t pixel, const HueEntry& hue, bool onlyGrey) {
    const int red = (pixel >> 10) & 0x1F;
    if (onlyGrey && (red != ((pixel >> 5) & 0x1F) || red != (pixel & 0x1F)))
        return pixel;
    return std::uint16_t((pixel & 0x8000) | hue.colours[std::size_t(red)]);
}

} // namespace tb
