#include "demo/DemoRelief.h"

#include "demo/DemoArt.h"
#include "demo/DemoNoise.h"
#include "shell/LittleEndian.h"

#include <algorithm>

namespace tb::demo {
namespace {

constexpr float kHillWidth = 18.0f; // cells
constexpr std::uint64_t kReliefSeed = 0x4E11EFull;

} // namespace

int lowlandRelief(std::uint64_t seed, int x, int y) {
    const float hills =
        fractalNoise(mix64(seed ^ kReliefSeed), float(x) / kHillWidth, float(y) / kHillWidth, 2);
    return std::clamp(int(hills * float(kReliefSteps + 1)), 0, kReliefSteps);
}

void lightenTexturesForSlopes(DemoArtFiles& art) {
    constexpr float kLevelLight = 0.854f;
    for (std::size_t at = 0; at + 2 <= art.textureData.size(); at += 2) {
        const std::uint16_t p = readU16(art.textureData.data() + at);
        const auto channel = [](int v) { return std::min(31, int(float(v) / kLevelLight + 0.5f)); };
        writeU16(art.textureData.data() + at,
                 std::uint16_t(channel((p >> 10) & 31) << 10 | channel((p >> 5) & 31) << 5 |
                               channel(p & 31)));
    }
}

std::uint16_t demoLandTexture(std::uint16_t landId) {
    const std::vector<DemoTexture> textures = demoTextures();
    for (const TileFamily& family : tileFamilies()) {
        if (std::find(family.ids.begin(), family.ids.end(), landId) == family.ids.end())
            continue;
        for (const std::uint16_t id : family.ids)
            for (const DemoTexture& texture : textures)
                if (texture.id == id)
                    return id;
    }
    return 0;
}

} // namespace tb::demo
