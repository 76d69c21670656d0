#include "app/core/OverviewWindow.h"

#include "app/shell/MapEditorLink.h"
#include "core/MapImage.h"
#include "core/RadarColours.h"
#include "editor/Overview.h"
#include "editor/OverviewStatics.h"
#include "shell/Progress.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include <memory>
#include <utility>

namespace tbapp {

OverviewWindow::OverviewWindow(MapEditorLink& link, const tb::RadarColours& radar,
                               std::optional<tb::MapSize> mapSize, PathValidity mapPathValid,
                               tbapp::Prompts& prompts, const OverviewStatics& statics,
                               QWidget* parent)
    : QDialog(parent), m_link(link), m_radar(radar), m_mapPathValid(std::move(mapPathValid)),
      m_prompts(prompts), m_statics(statics) {
    setObjectName("TMapViewForm");
    setWindowTitle("Tolvane Brimholt - Overview");
    // A fixed dialog border: no resizing, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFont(QFont("Tahoma"));

    const tb::BlockGeometry blocks = tb::overviewSize(mapSize);
    m_picture = QImage(blocks.widthBlocks, blocks.heightBlocks, QImage::Format_RGB32);
    m_picture.fill(Qt::black);

    m_pictureLabel = new QLabel(this);
    m_pictureLabel->setObjectName("Mapa");
    m_pictureLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pictureLabel->setFixedSize(blocks.widthBlocks, blocks.heightBlocks);
    m_pictureLabel->installEventFilter(this);

    // The label stands over the picture; the platform's glow around its text is left out.
    m_buildingLabel = new QLabel("Building map overview ...", this);
    m_buildingLabel->setObjectName("GenerateText");
    QFont labelFont("Tahoma");
    labelFont.setPixelSize(16);
    m_buildingLabel->setFont(labelFont);
    m_buildingLabel->setAutoFillBackground(true);
    m_buildingLabel->adjustSize();
    m_buildingLabel->move(8, 16);
    m_buildingLabel->hide();

    // Without statics read by the main window there is nothing to show.
    m_staticsCheck = new QCheckBox("Show statics", this);
    m_staticsCheck->setObjectName("cbShowStatics");
    m_staticsCheck->setChecked(m_statics.shown && m_statics.statics);
    m_staticsCheck->setEnabled(m_statics.statics != nullptr);
    connect(m_staticsCheck, &QCheckBox::toggled, this, [this] {
        if (m_built)
            buildOverview();
    });

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_pictureLabel, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_staticsCheck, 1, 0);
    showPicture();
    adjustSize();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

OverviewWindow::~OverviewWindow() {
    // Destroyed while drawing (closing waits for the build to stop): the build's end, which
    // puts the cursor back, will not run.
    if (m_jobs.busy())
        QApplication::restoreOverrideCursor();
}

// Closed while drawing: the build is asked to stop, and the window closes once it has.
void OverviewWindow::done(int result) {
    if (!m_jobs.busy()) {
        QDialog::done(result);
        return;
    }
    m_jobs.stop();
    if (!std::exchange(m_closing, true))
        m_jobs.whenIdle(this, [this, result] {
            m_closing = false;
            QDialog::done(result);
        });
}

bool OverviewWindow::openOverview(MapEditorLink& link, const tb::RadarColours& radar,
                                  std::optional<tb::MapSize> mapSize,
                                  const PathValidity& mapPathValid, tbapp::Prompts& prompts,
                                  const OverviewStatics& statics, QWidget* parent) {
    if (link.loadedMap() == nullptr)
        return false;
    const tb::BlockGeometry blocks = tb::overviewSize(mapSize);
    if (blocks.widthBlocks <= 0 || blocks.heightBlocks <= 0)
        return false;
    OverviewWindow form(link, radar, mapSize, mapPathValid, prompts, statics, parent);
    prompts.execDialog(form);
    return true;
}

void OverviewWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The build waits until the window is on screen, and runs only once.
    if (!m_buildQueued) {
        m_buildQueued = true;
        QTimer::singleShot(0, this, &OverviewWindow::buildOverview);
    }
}

void OverviewWindow::buildOverview() {
    if (m_jobs.busy())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_buildingLabel->show();
    m_buildingLabel->raise();
    // The box waits for the picture it would redraw.
    m_staticsCheck->setEnabled(false);

    const tb::MapImage* loaded = m_link.loadedMap();
    const tb::MapImage* map =
        loaded != nullptr && m_mapPathValid && m_mapPathValid() ? loaded : nullptr;
    OverviewStatics statics;
    if (m_staticsCheck->isChecked() && m_statics.statics && m_statics.colours)
        statics = m_statics;
    auto overview = std::make_shared<tb::OverviewImage>();
    Job job;
    job.caption = "Building map overview";
    job.work = [map, radar = m_radar, statics, overview](tb::Progress& progress) {
        if (map == nullptr)
            return;
        *overview = tb::buildOverview(*map, radar, progress);
        if (statics.statics)
            tb::drawOverviewStatics(*overview, *statics.statics, *statics.colours);
    };
    job.succeeded = [this, overview] {
        if (overview->width > 0 && overview->height > 0) {
            // The picture keeps the size of the size label; should the map in memory have
            // another size, only the part both share is drawn.
            const QImage drawn(overview->rgb.data(), overview->width, overview->height,
                               overview->width * 3, QImage::Format_RGB888);
            QPainter painter(&m_picture);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, drawn);
        }
        buildEnded();
    };
    // A build stops when the window goes or on a Cancel: that needs no word.
    job.stopped = [this](const QString&) { buildEnded(); };
    job.failed = [this](const std::exception& error) {
        buildEnded();
        m_prompts.showFailure(this, error);
    };
    m_jobs.start(std::move(job));
}

void OverviewWindow::buildEnded() {
    showPicture();
    m_buildingLabel->hide();
    m_staticsCheck->setEnabled(m_statics.statics != nullptr);
    QApplication::restoreOverrideCursor();
    m_built = true;
}

void OverviewWindow::jumpToPixel(int px, int py) {
    const tb::CellPoint cell = tb::overviewClickCell(px, py);
    m_link.setJumpTexts(QString::number(cell.x), QString::number(cell.y));
    m_link.jumpToBoxes();
    close();
}

bool OverviewWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pictureLabel && event->type() == QEvent::MouseButtonPress) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (m_pictureLabel->rect().contains(at)) {
            jumpToPixel(at.x(), at.y());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The picture with the part the main window shows framed, one pixel a block.
void OverviewWindow::showPicture() {
    QImage shown = m_picture;
    const tb::CellRect view = m_link.visibleCells();
    if (!view.isEmpty() && !shown.isNull()) {
        QPainter painter(&shown);
        painter.setPen(QPen(Qt::yellow, 1));
        painter.drawRect(
            QRect(QPoint(view.left / 8, view.top / 8), QPoint(view.right / 8, view.bottom / 8)));
    }
    m_pictureLabel->setPixmap(QPixmap::fromImage(shown));
}

} // namespace tbapp
