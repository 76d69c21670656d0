#pragma once
// What the catalogue dialogs (brush editor, options dialog, group dialog, tile picker)
// receive from their creator, and the prompts they show, behind one interface so that
// tests answer message boxes, input boxes and the nested dialogs without blocking.

#include <QImage>
#include <QString>

#include <exception>
#include <filesystem>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace tb {
struct ArtFiles;
}

class CataloguePrompts {
public:
    virtual ~CataloguePrompts() = default;

    // A refusal the dialog detected itself (an unsafe name): a plain message box.
    virtual void showMessage(QWidget* parent, const QString& text);
    // A failed conversion or file operation: the application's standard error report.
    virtual void showError(QWidget* parent, const QString& text);
    // A confirmation box titled "Confirm" with Yes and No; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text);
    // An input box; the answer, or nullopt when cancelled.
    virtual std::optional<QString> inputText(QWidget* parent, const QString& title,
                                             const QString& prompt, const QString& preset);
    // Shows a nested dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int execDialog(QDialog& dialog);

    // The prompts that show the real boxes.
    static CataloguePrompts& standard();
};

// The image of a tile id for a dialog cell (texture first, then land art), or a null
// image when the tile has none.
using TileImageProvider = std::function<QImage(int tileId)>;

// The provider for the dialogs while a map with its art is loaded: the image makers with
// the dialogs' limits (land tiles 7, 8 and from 16382 refused, textures from 4096
// refused). `art` must outlive the provider; null gives no images (no map loaded).
TileImageProvider dialogTileImages(const tb::ArtFiles* art);

// Everything a catalogue dialog depends on.
struct CatalogueContext {
    QString applicationDir;              // the folder beside the program with tilelist.xml etc.
    TileImageProvider tileImages;        // empty: no images
    CataloguePrompts* prompts = nullptr; // null: CataloguePrompts::standard()

    CataloguePrompts& ask() const { return prompts ? *prompts : CataloguePrompts::standard(); }
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
