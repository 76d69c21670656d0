#include "app/catalogue/CatalogueContext.h"

#include "catalogue/CatalogueNames.h"
#include "core/ArtFiles.h"

namespace tbapp {

TileImageProvider dialogTileImages(const tb::ArtFiles* art) {
    return [art](int tileId) -> QImage {
        if (!art)
            return {};
        tb::Image15 image;
        if (!tb::makeTextureImage(*art, tileId, image, tb::kDialogArtLimits) &&
            !tb::makeLandTileImage(*art, tileId, image, tb::kDialogArtLimits))
            return {};
        // The 15-bit pixels are copied as they are; Qt's RGB555 ignores bit 15 as well.
        QImage result(image.width, image.height, QImage::Format_RGB555);
        for (int y = 0; y < image.height; ++y)
            std::copy_n(image.pixels.data() + std::size_t(y) * image.width, image.width,
                        reinterpret_cast<std::uint16_t*>(result.scanLine(y)));
        return result;
    };
}

std::filesystem::path CatalogueContext::appDir() const {
    return std::filesystem::path(applicationDir.toStdU16String());
}

void reportFailure(const CatalogueContext& context, QWidget* parent, const std::exception& error) {
    const QString text = QString::fromUtf8(error.what());
    if (dynamic_cast<const tb::UnsafeNameError*>(&error))
        context.ask().showMessage(parent, text);
    else
        context.ask().showError(parent, text);
}

} // namespace tbapp
