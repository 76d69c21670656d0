// The land tile and texture decoders over arbitrary index and data buffers. The input is
// cut into the four art files; every id that the indexes can name, and a few the input
// picks, are decoded with both id limits.
#include "FuzzSupport.h"

#include "core/ArtFiles.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<unsigned char> take(FuzzedDataProvider& in) {
    const std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, in.remaining_bytes());
    return in.ConsumeBytes<unsigned char>(n);
}

void decode(const tb::ArtFiles& art, int id) {
    tb::Image15 image;
    for (const tb::ArtIdLimits* limits : {&tb::kEditorArtLimits, &tb::kDialogArtLimits}) {
        if (tb::makeTextureImage(art, id, image, *limits)) {
            tbfuzz::check(image.width == image.height && (image.width == 64 || image.width == 128),
                          "texture side");
            tbfuzz::check(image.pixels.size() == std::size_t(image.width) * image.height,
                          "texture pixel count");
        }
        if (tb::makeLandTileImage(art, id, image, *limits)) {
            tbfuzz::check(image.width == 45 && image.height == 45, "land tile side");
            tbfuzz::check(image.pixels.size() == 45u * 45u, "land tile pixel count");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int extraIds[] = {in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>()};
    tb::ArtFiles art;
    art.artIndex = take(in);
    art.textureIndex = take(in);
    art.artData = take(in);
    art.textureData = in.ConsumeRemainingBytes<unsigned char>();

    const std::size_t entries = std::max(art.artIndex.size(), art.textureIndex.size()) / 12 + 1;
    for (std::size_t id = 0; id < entries && id < 64; ++id)
        decode(art, int(id));
    for (const int id : extraIds)
        decode(art, id);
    return 0;
}
