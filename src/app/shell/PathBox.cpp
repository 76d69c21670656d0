#include "app/shell/PathBox.h"

#include <QLineEdit>
#include <QPalette>

namespace tbapp {

void setPathBoxValid(QLineEdit* box, bool valid) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, valid ? kValidPathColour : kInvalidPathColour);
    box->setPalette(palette);
}

bool isPathBoxValid(const QLineEdit* box) {
    return box->palette().color(QPalette::Base) == kValidPathColour;
}

} // namespace tbapp
