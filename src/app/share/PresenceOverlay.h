#pragma once
// The other builders' views outlined on the map view, each with the builder's name: a
// see-through layer over the grid's viewport that lets every mouse event through.

#include "share/Presence.h"

#include <QWidget>

#include <vector>

namespace tbapp {

class DrawGrid;

class PresenceOverlay : public QWidget {
    Q_OBJECT
public:
    explicit PresenceOverlay(DrawGrid& grid);

    void setBuilders(std::vector<tb::PresentBuilder> builders);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    DrawGrid& m_grid;
    std::vector<tb::PresentBuilder> m_builders;
};

} // namespace tbapp
