#include "PictureFile.h"

#include "WidgetDriver.h"

#include <QPixmap>
#include <QSaveFile>
#include <QWidget>

#include <unordered_set>

namespace shots {

int colourCount(const QImage& image, int enough) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::unordered_set<QRgb> colours;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            colours.insert(line[x]);
            if (int(colours.size()) >= enough)
                return enough;
        }
    }
    return int(colours.size());
}

void requireContent(const QImage& image, int minColours, const QString& what) {
    if (image.isNull() || image.width() < 8 || image.height() < 8)
        throw ScreenshotError((what + ": the picture is empty").toStdString());
    const int found = colourCount(image, minColours);
    if (found < minColours)
        throw ScreenshotError(QString("%1 looks blank: %2 colour(s), at least %3 expected")
                                  .arg(what)
                                  .arg(found)
                                  .arg(minColours)
                                  .toStdString());
}

void savePicture(const QImage& picture, const QDir& dir, const QString& name) {
    // Any window shows text, frames and a background: at least a few colours.
    requireContent(picture, 2, name);
    const QString path = dir.filePath(name);
    QSaveFile file(path);
    // Quality 0 is the strongest compression: the pictures are kept in the repository.
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG", 0) || !file.commit())
        throw ScreenshotError(
            QString("cannot write %1: %2").arg(path, file.errorString()).toStdString());
}

QImage pictureOf(QWidget& widget) {
    settle();
    return widget.grab().toImage();
}

} // namespace shots
