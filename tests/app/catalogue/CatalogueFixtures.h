#pragma once
// Tile images for the dialogs and a temporary program folder with the catalogue files the
// dialogs read.

#include "app/catalogue/CatalogueContext.h"
#include "app/catalogue/TileCells.h"
#include "app/shell/DrawGrid.h"
#include "testsupport/RecordingPrompts.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

using tbtest::RecordingPrompts;

// A solid colour per tile id, so tests can tell which tile a cell shows.
inline QColor tileColour(int id) {
    return QColor((id * 40) % 256, (id * 90) % 256, 200);
}

inline tbapp::TileImageProvider fakeTileImages() {
    return [](int id) {
        if (id == 0x0005) // a tile without art
            return QImage();
        QImage image(44, 44, QImage::Format_RGB32);
        image.fill(tileColour(id));
        return image;
    };
}

// The colour a grid cell shows as the grid paints it, taken near the cell's bottom-right
// corner, clear of the id label and the red frame.
inline QColor shownColour(tbapp::DrawGrid& grid, int col, int row) {
    const QRect cell = grid.cellRect(col, row);
    QImage target(cell.right() + 1, cell.bottom() + 1, QImage::Format_RGB32);
    target.fill(Qt::black);
    grid.renderCells(target, target.rect());
    return target.pixelColor(cell.bottomRight() - QPoint(4, 4));
}

// What shownColour finds in a cell showing the "NODRAW" picture.
inline QColor noDrawColour() {
    const QImage& picture = tbapp::brushNoDrawPicture();
    return picture.pixelColor(picture.width() - 5, picture.height() - 5);
}

// The row of a one-column tile grid that shows tile `id`, -1 when none does.
inline int rowShowingTile(tbapp::DrawGrid& grid, int id) {
    for (int row = 0; row < grid.rowCount(); ++row)
        if (shownColour(grid, 0, row) == tileColour(id))
            return row;
    return -1;
}

// A program folder: brushes/, textures/tileids.lst ($0003, $0004, $01D3, $0005) and no
// tilelist.xml.
class AppFolder {
public:
    AppFolder() {
        QDir(dir.path()).mkdir("brushes");
        QDir(dir.path()).mkdir("textures");
        write("textures/tileids.lst",
              "textureid=$0003\r\ntextureid=$0004\r\ntextureid=$01D3\r\ntextureid=$0005\r\n");
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }

    QByteArray read(const QString& name) const {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return "<missing>";
        return file.readAll();
    }

    bool exists(const QString& name) const { return QFile::exists(path(name)); }

    tbapp::CatalogueContext context(tbapp::Prompts& prompts) const {
        return {dir.path() + "/", fakeTileImages(), &prompts};
    }

    QTemporaryDir dir;
};
