#pragma once
// The pictures the program saves: each must show something (a blank or single-coloured
// picture means the window drew nothing), and is written as PNG into the output folder.

#include <QDir>
#include <QImage>
#include <QString>

class QWidget;

namespace shots {

// How many different colours `image` holds, counting at most `enough`.
int colourCount(const QImage& image, int enough);

// Throws ScreenshotError naming `what` unless `image` holds at least `minColours` colours.
void requireContent(const QImage& image, int minColours, const QString& what);

// Saves `picture` as `name` (e.g. "world.png") into `dir` after checking it is not blank;
// throws ScreenshotError when it is blank or cannot be written.
void savePicture(const QImage& picture, const QDir& dir, const QString& name);

// The widget as it is drawn now (its own pixels, without window frame).
QImage pictureOf(QWidget& widget);

} // namespace shots
