#include "app/share/SharedMapCommands.h"

#include "app/editor/MainMenus.h"
#include "app/editor/MapEditorWindow.h"
#include "app/editor/MapView.h"
#include "app/share/PresenceOverlay.h"
#include "app/share/SharedMapDialog.h"
#include "app/shell/DrawGrid.h"
#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"

#include "share/DocumentFacetCopy.h"
#include "share/ShareErrors.h"
#include "share/ShareSession.h"
#include "share/StrokeBlocks.h"

#include <QAction>
#include <QDockWidget>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStatusBar>

#include <algorithm>

namespace tbapp {
namespace {

// How often the view is announced, the others read and, while offline, a reconnect tried.
constexpr int kBeatMs = 3000;
// How often a reconnect under way looks at its socket, and how long it may take.
constexpr int kReconnectPollMs = 20;
constexpr qint64 kReconnectMs = 10000;

std::filesystem::path journalBase(QSettings& settings) {
    const QString folder = settings.value("SharedMaps/JournalFolder").toString();
    if (!folder.isEmpty())
        return folder.toStdString();
    return (QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
            "/shared-journal")
        .toStdString();
}

// What an undo or redo left as others made it, or nothing when it left nothing.
QString leftNotice(const QString& step, const tb::StrokeApplication& counts) {
    if (counts.itemsLeft == 0)
        return counts.cellsLeft == 0 ? QString()
                                     : QString("%1: %2 cells left, others changed them")
                                           .arg(step)
                                           .arg(counts.cellsLeft);
    return QString("%1: %2 cells and %3 items left, others changed them")
        .arg(step)
        .arg(counts.cellsLeft)
        .arg(counts.itemsLeft);
}

} // namespace

SharedMapCommands::SharedMapCommands(MapEditorWindow& window)
    : m_window(window), m_document(window.document()) {
    auto* openAction = new QAction("Open shared map...", &window);
    openAction->setObjectName("OpenSharedMap1");
    connect(openAction, &QAction::triggered, this, &SharedMapCommands::chooseAndOpen);
    window.menus().addFileEntry(openAction);

    m_stateLabel = new QLabel(&window);
    m_stateLabel->setObjectName("SharedMapState");
    window.statusBar()->addPermanentWidget(m_stateLabel);

    m_dock = new QDockWidget("Builders", &window);
    m_dock->setObjectName("SharedBuilders");
    m_builderList = new QListWidget(m_dock);
    m_builderList->setObjectName("SharedBuilderList");
    m_dock->setWidget(m_builderList);
    window.addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
    window.menus().addViewToggle(m_dock->toggleViewAction(), "SharedBuilders1");

    if (auto* grid = window.mapView().findChild<DrawGrid*>("MainDrawGrid"))
        m_overlay = new PresenceOverlay(*grid);

    // A Paint stroke goes out when the button comes up; other operations at once.
    connect(&window.mapView(), &MapView::strokeStarted, this, [this] { m_pressed = true; });
    connect(&window.mapView(), &MapView::strokeEnded, this, [this] {
        m_pressed = false;
        m_commitSoon.start();
    });
    m_commitSoon.setSingleShot(true);
    m_commitSoon.setInterval(0);
    connect(&m_commitSoon, &QTimer::timeout, this, &SharedMapCommands::commitEdits);
    m_beat.setInterval(kBeatMs);
    connect(&m_beat, &QTimer::timeout, this, &SharedMapCommands::tick);
    m_reconnectPoll.setInterval(kReconnectPollMs);
    connect(&m_reconnectPoll, &QTimer::timeout, this, &SharedMapCommands::continueReconnect);
    m_connection = m_document.connect(this);
}

SharedMapCommands::~SharedMapCommands() {
    close();
}

std::size_t SharedMapCommands::waitingCount() const {
    return m_share ? m_share->session.waitingCount() : 0;
}

QString SharedMapCommands::stateText() const {
    if (!m_share)
        return {};
    if (!m_share->session.isOnline() || waitingCount() > 0)
        return QString("offline: %1 strokes waiting").arg(waitingCount());
    return m_notice.isEmpty() ? QString("shared: facet %1").arg(m_share->session.facet())
                              : m_notice;
}

void SharedMapCommands::chooseAndOpen() {
    SharedMapDialog dialog(m_window.settings(), &m_window);
    if (m_window.prompts().execDialog(dialog) != QDialog::Accepted || dialog.uri().isEmpty())
        return;
    open(dialog.uri(), dialog.facet());
}

void SharedMapCommands::open(const QString& uri, int facet) {
    openWith(uri, facet, std::nullopt);
}

void SharedMapCommands::openWith(const QString& uri, int facet,
                                 std::optional<std::string> password) {
    tb::ShareOptions options;
    options.uri = uri.toStdString();
    options.facet = facet;
    options.journalBase = journalBase(m_window.settings());
    // The job cannot show a dialog: without a typed password it notes whose was wanted and
    // fails; the window asks on its own thread and starts the open again.
    auto wantedFor = std::make_shared<std::optional<std::string>>();
    options.prompt = [password, wantedFor](const std::string& user) {
        if (!password)
            *wantedFor = user;
        return password;
    };
    auto result = std::make_shared<std::unique_ptr<tb::OpenedShare>>();
    Job job;
    job.caption = QString("Opening shared facet %1").arg(facet);
    job.work = [options, result](tb::Progress& progress) {
        *result = std::make_unique<tb::OpenedShare>(tb::ShareSession::open(options, progress));
    };
    job.succeeded = [this, result, uri, facet] {
        SharedMapDialog::remember(m_window.settings(), uri, facet);
        m_uri = uri;
        opened(std::move(*result));
    };
    job.failed = [this, wantedFor, uri, facet](const std::exception& error) {
        if (*wantedFor) {
            const QString user = QString::fromStdString(**wantedFor);
            // After this job has ended, so that the runner takes the next one.
            QTimer::singleShot(0, this, [this, user, uri, facet] {
                if (std::optional<std::string> typed = askPassword(user))
                    openWith(uri, facet, std::move(typed));
            });
            return;
        }
        m_window.prompts().showError(&m_window, QString::fromStdString(error.what()));
    };
    // A stop (a Cancel) leaves the map as it was: nothing to say.
    if (!m_window.documentJobs().start(std::move(job)))
        m_window.prompts().showError(&m_window,
                                     JobRunner::refusal(m_window.documentJobs().caption()));
}

std::optional<std::string> SharedMapCommands::askPassword(const QString& user) {
    QInputDialog dialog(&m_window);
    dialog.setObjectName("SharedMapPassword");
    dialog.setWindowTitle("Open shared map");
    dialog.setLabelText(QString("Password for %1:").arg(user));
    dialog.setTextEchoMode(QLineEdit::Password);
    if (m_window.prompts().execDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

void SharedMapCommands::opened(std::unique_ptr<tb::OpenedShare> share) {
    close();
    tb::MapImage map = share->copy.takeMap();
    tb::StaticsMap statics = share->copy.takeStatics();
    m_window.adoptMap(tb::MapImage(map), std::make_unique<tb::StaticsMap>(statics.copy()));
    m_copy =
        std::make_unique<tb::DocumentFacetCopy>(m_document, std::move(map), std::move(statics));
    m_share = std::move(share);
    m_presence =
        std::make_unique<tb::Presence>(m_share->session.connection(), m_share->session.facet());
    m_window.setUndoHandler([this](MapEditorWindow::UndoStep step) { undoRedo(step); });
    for (const tb::SubmitReport& replayed : m_share->replayed)
        report(replayed);
    watchFeed();
    // What arrived while the facet was read is in the connection's buffer already.
    readFeed();
    m_beat.start();
    tick();
    refreshState();
}

void SharedMapCommands::close() {
    if (!m_share)
        return;
    commitEdits();
    m_beat.stop();
    m_reconnectPoll.stop();
    delete m_feedNotifier;
    m_feedNotifier = nullptr;
    try {
        m_presence->leave();
    } catch (const std::exception&) {
        // Offline: the others stop seeing this editor after a few seconds anyway.
    }
    m_window.setUndoHandler({});
    m_presence.reset();
    m_copy.reset();
    m_share.reset();
    m_done.clear();
    m_undone.clear();
    m_builders.clear();
    m_builderList->clear();
    if (m_overlay)
        m_overlay->setBuilders({});
    refreshState();
}

void SharedMapCommands::cellsChanged(const tb::CellChange&) {
    if (m_share)
        m_commitSoon.start();
}

void SharedMapCommands::documentReplaced() {
    // Another map was loaded: the shared one is closed (from the event loop, not from
    // inside the document's notification).
    if (m_share && m_copy->detached())
        QTimer::singleShot(0, this, [this] {
            if (m_copy && m_copy->detached())
                close();
        });
}

void SharedMapCommands::commitEdits() {
    if (!m_share || m_pressed || m_copy->detached() || !m_copy->hasEdits())
        return;
    const tb::Stroke stroke = m_copy->takeStroke();
    try {
        const tb::SubmitReport outcome = m_share->session.submit(stroke, *m_copy);
        if (outcome.outcome != tb::StrokeOutcome::Refused) {
            m_done.push_back(stroke);
            m_undone.clear();
        }
        m_notice.clear();
        report(outcome);
    } catch (const std::exception& error) {
        m_window.prompts().showError(&m_window, QString::fromStdString(error.what()));
    }
    refreshState();
}

void SharedMapCommands::report(const tb::SubmitReport& outcome) {
    if (outcome.outcome == tb::StrokeOutcome::Refused)
        m_window.prompts().showError(&m_window,
                                     "The server refused the stroke; it was taken back.\n" +
                                         QString::fromStdString(outcome.refusal));
}

void SharedMapCommands::undoRedo(MapEditorWindow::UndoStep step) {
    commitEdits();
    const bool undo =
        step == MapEditorWindow::UndoStep::Undo || step == MapEditorWindow::UndoStep::UndoStroke;
    std::vector<tb::Stroke>& from = undo ? m_done : m_undone;
    std::vector<tb::Stroke>& to = undo ? m_undone : m_done;
    if (!m_share || from.empty())
        return;
    // The builder's previous values go back as a new stroke, only where they still stand.
    const tb::Stroke stroke = tb::inverseStroke(from.back());
    from.pop_back();
    try {
        const tb::StrokeApplication applied = tb::applyStroke(stroke, *m_copy);
        const tb::SubmitReport outcome = m_share->session.submit(stroke, *m_copy);
        const tb::StrokeApplication& counts = outcome.merged ? outcome.applied : applied;
        if (outcome.outcome != tb::StrokeOutcome::Refused)
            to.push_back(stroke);
        m_notice = leftNotice(undo ? "Undo" : "Redo", counts);
        report(outcome);
    } catch (const std::exception& error) {
        m_window.prompts().showError(&m_window, QString::fromStdString(error.what()));
    }
    refreshState();
}

void SharedMapCommands::watchFeed() {
    delete m_feedNotifier;
    m_feedNotifier = new QSocketNotifier(m_share->feed.socket(), QSocketNotifier::Read, this);
    connect(m_feedNotifier, &QSocketNotifier::activated, this, &SharedMapCommands::readFeed);
    m_feedBroken = false;
}

void SharedMapCommands::readFeed() {
    if (!m_share || m_feedBroken)
        return;
    commitEdits();
    try {
        const tb::FeedNews news = m_share->feed.take();
        if (news.facetReplaced)
            m_window.prompts().showMessage(
                &m_window, "The shared facet was imported again; open it again to see it.");
        if (!news.changes.empty() && m_share->session.isOnline())
            m_share->session.applyChanges(news, *m_copy);
    } catch (const tb::ConnectionLost&) {
        offline();
    }
    refreshState();
}

void SharedMapCommands::offline() {
    // The socket is dead: listening again waits for the beat.
    m_feedBroken = true;
    if (m_feedNotifier)
        m_feedNotifier->setEnabled(false);
}

void SharedMapCommands::tick() {
    if (!m_share)
        return;
    tb::ShareSession& session = m_share->session;
    if (!session.isOnline()) {
        if (!m_reconnectPoll.isActive()) {
            session.startReconnect();
            m_reconnectClock.start();
            m_reconnectPoll.start();
        }
        refreshState();
        return;
    }
    try {
        if (session.waitingCount() > 0)
            for (const tb::SubmitReport& sent : session.commitWaiting(*m_copy))
                report(sent);
        if (m_feedBroken && session.isOnline()) {
            m_share->feed.reconnect();
            watchFeed();
            session.resynchronise(*m_copy);
        }
        if (session.isOnline()) {
            DrawGrid* grid = m_window.mapView().findChild<DrawGrid*>("MainDrawGrid");
            if (grid) {
                const int x = grid->leftCol();
                const int y = grid->topRow();
                m_presence->announce({x, y, x + std::max(grid->visibleColCount(), 1) - 1,
                                      y + std::max(grid->visibleRowCount(), 1) - 1});
            }
            m_builders = m_presence->others();
        }
    } catch (const tb::ConnectionLost&) {
        offline();
    } catch (const std::exception& error) {
        m_window.prompts().showError(&m_window, QString::fromStdString(error.what()));
    }
    m_builderList->clear();
    for (const tb::PresentBuilder& builder : m_builders)
        m_builderList->addItem(QString("%1 at %2, %3")
                                   .arg(QString::fromStdString(builder.name))
                                   .arg(builder.view.x1)
                                   .arg(builder.view.y1));
    if (m_overlay)
        m_overlay->setBuilders(m_builders);
    refreshState();
}

void SharedMapCommands::continueReconnect() {
    if (!m_share) {
        m_reconnectPoll.stop();
        return;
    }
    switch (m_share->session.reconnectStep()) {
    case tb::ShareSession::Reconnect::Connecting:
        // Given up after a while; the next beat starts again.
        if (m_reconnectClock.elapsed() > kReconnectMs)
            m_reconnectPoll.stop();
        return;
    case tb::ShareSession::Reconnect::Failed:
        m_reconnectPoll.stop();
        return;
    case tb::ShareSession::Reconnect::Online:
        m_reconnectPoll.stop();
        tick(); // the waiting strokes go out now, not at the next beat
        return;
    }
}

void SharedMapCommands::refreshState() {
    // What the server holds or the journal keeps is saved: closing asks nothing.
    if (m_share && !m_copy->hasEdits() && m_document.isModified())
        m_document.markUnmodified();
    m_stateLabel->setText(stateText());
}

} // namespace tbapp
