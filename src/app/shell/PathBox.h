#pragma once
// Path boxes show their validity as their background: green (0,128,0) valid, red
// (255,0,0) not. The colour is the state: whoever asks whether a path box is valid tests
// for green.

#include <QColor>

class QLineEdit;

namespace tbapp {

inline const QColor kValidPathColour(0, 128, 0);
inline const QColor kInvalidPathColour(255, 0, 0);

void setPathBoxValid(QLineEdit* box, bool valid);
bool isPathBoxValid(const QLineEdit* box);

} // namespace tbapp
