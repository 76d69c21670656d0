#pragma once
// The terrain editor's picture of one land tile, drawn large with its four corners, as Tiled
// shows a tile of a corner set: each corner is marked in the colour of its terrain with the
// terrain's name, and a click into a quarter of the picture asks to give that corner the
// terrain chosen (a right click: none).

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>

namespace tbapp {

class TileCornerView : public QWidget {
    Q_OBJECT
public:
    struct Corner {
        QString name;
        QColor colour;
    };
    // Corners in the order of tb::TerrainCorners: top left, top right, bottom left, bottom
    // right; none: the corner has no terrain yet.
    using Corners = std::array<std::optional<Corner>, 4>;

    explicit TileCornerView(QWidget* parent = nullptr);

    void showTile(const QImage& picture, const Corners& corners);

    // The corner whose quarter holds `point` (widget coordinates).
    int cornerAt(const QPoint& point) const;

    QSize sizeHint() const override { return {196, 196}; }

signals:
    void cornerClicked(int corner, bool clear);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    Corners m_corners;
};

} // namespace tbapp
