#pragma once
// OverviewWindow: the whole loaded map at one pixel per 8 x 8 block in the game's radar
// colours. A press on the picture puts the block's north-west cell into the main window's
// jump boxes, jumps there and closes the window.
//
// The main window opens it with openOverview from its Overview button: the window is
// created, shown modally (Prompts::execDialog) and destroyed when it closes. The picture is
// built once, after the window is first on screen, from the main window's map and radar
// colour table; the "Show statics" box under it starts as the main window's switch and
// draws each block's sampled cell in its topmost static's radar colour where it has
// statics. The picture is drawn by a job beside the window; the map and the statics it
// reads must stay as they are while the window is open (it is modal, closes only once the
// build has ended, and its opener starts it only when no job of its own could change them).

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"

#include "core/MapVariant.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <optional>

namespace tbapp {
class MapEditorLink;
}
class QCheckBox;
class QLabel;
class QShowEvent;

namespace tb {
class RadarColours;
class StaticRadarColours;
class StaticsMap;
} // namespace tb

namespace tbapp {

// The statics the main window shows: both null while none are read; `shown` is its switch.
struct OverviewStatics {
    const tb::StaticsMap* statics = nullptr;
    const tb::StaticRadarColours* colours = nullptr;
    bool shown = false;
};

class OverviewWindow : public QDialog {
    Q_OBJECT
public:
    // Tells whether the main window's map path box is green (valid) at the time of the build.
    using PathValidity = std::function<bool()>;

    // `mapSize` is the size of the map the main window identified; it gives the picture's
    // size in blocks (0 x 0 without one). `radar` and the statics must outlive the window;
    // `prompts` shows a failed build.
    OverviewWindow(MapEditorLink& link, const tb::RadarColours& radar,
                   std::optional<tb::MapSize> mapSize, PathValidity mapPathValid,
                   tbapp::Prompts& prompts, const OverviewStatics& statics = {},
                   QWidget* parent = nullptr);
    // A build still running is stopped and waited for, as a last resort: closing the window
    // asks it to stop and closes once it has, without waiting.
    ~OverviewWindow() override;

    // The Overview command: does nothing and returns false unless a map is loaded and its
    // size is known; otherwise creates the window, runs it modally,
    // destroys it and returns true.
    static bool openOverview(MapEditorLink& link, const tb::RadarColours& radar,
                             std::optional<tb::MapSize> mapSize, const PathValidity& mapPathValid,
                             tbapp::Prompts& prompts, const OverviewStatics& statics = {},
                             QWidget* parent = nullptr);

    // The picture as it stands (black until built).
    const QImage& picture() const { return m_picture; }
    // True once the build has run (whether or not the map path allowed drawing).
    bool isBuilt() const { return m_built; }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Builds the picture: hourglass cursor and the building label while it runs; the map is
    // drawn only when the map path box is valid. Runs by itself once after the first show,
    // and again when the statics box changes.
    void buildOverview();
    void buildEnded();
    // A press of any button on picture pixel (px, py): jump to (8 px, 8 py) and close.
    void jumpToPixel(int px, int py);
    void showPicture();

    MapEditorLink& m_link;
    const tb::RadarColours& m_radar;
    PathValidity m_mapPathValid;
    tbapp::Prompts& m_prompts;
    OverviewStatics m_statics;
    QLabel* m_pictureLabel = nullptr;    // one pixel per block, at the top-left
    QLabel* m_buildingLabel = nullptr;   // "Building map overview ...", over the picture
    QCheckBox* m_staticsCheck = nullptr; // "Show statics", under the picture
    QImage m_picture;
    bool m_buildQueued = false;
    bool m_built = false;
    bool m_closing = false; // closed while building: it closes when the build has stopped
    JobRunner m_jobs;       // the build, while it runs
};

} // namespace tbapp
