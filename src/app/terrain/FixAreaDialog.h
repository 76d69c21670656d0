#pragma once
// Asks for the rectangle Fix edges works on when no item selection gives one: its two
// corner cells, at first the whole map.

#include "editor/CellRect.h"

#include <QDialog>

#include <array>

class QSpinBox;

namespace tbapp {

class FixAreaDialog : public QDialog {
    Q_OBJECT
public:
    // `map` is the whole map (not empty).
    FixAreaDialog(const tb::CellRect& map, QWidget* parent = nullptr);

    // The cells between the two corners given, in either order.
    tb::CellRect area() const;
    void setArea(const tb::CellRect& area);

    QSpinBox* left() const { return m_boxes[0]; }
    QSpinBox* top() const { return m_boxes[1]; }
    QSpinBox* right() const { return m_boxes[2]; }
    QSpinBox* bottom() const { return m_boxes[3]; }

private:
    tb::CellRect m_map;
    std::array<QSpinBox*, 4> m_boxes{}; // X1, Y1, X2, Y2
};

} // namespace tbapp
