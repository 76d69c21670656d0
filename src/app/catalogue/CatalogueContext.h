#pragma once
// What the catalogue dialogs (brush editor, options dialog, group dialog, tile picker)
// receive from their creator, among it the prompts through which they show messages,
// input boxes and their nested dialogs.

#include "app/shell/Prompts.h"

#include <QImage>
#include <QString>

#include <exception>
#include <filesystem>
#include <functional>

class QWidget;

namespace tb {
struct ArtFiles;
}

namespace tbapp {

// The image of a tile id for a dialog cell (texture first, then land art), or a null
// image when the tile has none.
using TileImageProvider = std::function<QImage(int tileId)>;

// The provider for the dialogs while a map with its art is loaded: the image makers with
// the dialogs' limits (land tiles 7, 8 and from 16382 refused, textures from 4096
// refused). `art` must outlive the provider; null gives no images (no map loaded).
TileImageProvider dialogTileImages(const tb::ArtFiles* art);

// Everything a catalogue dialog depends on.
struct CatalogueContext {
    QString applicationDir;            // the folder beside the program with tilelist.xml etc.
    TileImageProvider tileImages;      // empty: no images
    tbapp::Prompts* prompts = nullptr; // must be set before a dialog is made

    tbapp::Prompts& ask() const { return *prompts; }
    QImage image(int tileId) const { return tileImages ? tileImages(tileId) : QImage(); }
    std::filesystem::path appDir() const;
};

// Shows a failure the way the dialogs do: an unsafe name as a message, anything else as
// an error report.
void reportFailure(const CatalogueContext& context, QWidget* parent, const std::exception& error);

// Runs `work`, reporting a failure; false when it failed.
template <typename Work>
bool runCatalogueStep(const CatalogueContext& context, QWidget* parent, Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        reportFailure(context, parent, error);
        return false;
    }
}

} // namespace tbapp
