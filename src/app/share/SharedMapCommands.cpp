#include "app/share/SharedMapCommands.h"

#include "app/editor/MainMenus.h"
#include "app/editor/MapEditorWindow.h"
#include "app/editor/MapView.h"
#include "app/editor/MapViews.h"
#include "app/share/PresenceOverlay.h"
#include "app/share/SharedMapDialog.h"
#include "app/shell/DrawGrid.h"
#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"

#include "share/ShareErrors.h"
#include "share/ShareSession.h"
#include "share/SharedDocument.h"

#include <QAction>
#include <QDockWidget>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QStatusBar>

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace tbapp {

// What the open job hands to the window: the session, and the facet twice more, for the
// document and for the document's copy (the session's own copy goes to the worker).
struct OpenedMap {
    std::unique_ptr<tb::OpenedShare> share;
    tb::MapImage documentMap;
    std::unique_ptr<tb::StaticsMap> documentStatics;
    tb::MapImage copyMap;
    tb::StaticsMap copyStatics;
};

namespace {

// How often the view shown is handed to the worker, which announces it at its beat.
constexpr int kViewMs = 1000;
// How long the worker's reports are applied at a time before the window handles its events.
constexpr std::chrono::microseconds kApplyBudget{8000};
// How often workers of closed maps are looked at.
constexpr int kReapMs = 200;

// Beside the bookmarks and catalogues: beside the program for a portable copy, in the
// user's data folder for an installed one; or where the setting names.
std::filesystem::path journalBase(QSettings& settings, const QString& applicationDir) {
    const QString folder = settings.value("SharedMaps/JournalFolder").toString();
    if (!folder.isEmpty())
        return uiPath(folder);
    return uiPath(applicationDir) / "shared-journal";
}

QString counted(std::size_t n, const char* one, const char* many) {
    return QString("%1 %2").arg(n).arg(n == 1 ? one : many);
}

// What an undo or redo left as others made it, or nothing when it left nothing.
QString leftNotice(const QString& step, const tb::StrokeApplication& counts) {
    if (counts.itemsLeft == 0)
        return counts.cellsLeft == 0 ? QString()
                                     : QString("%1: %2 left, others changed them")
                                           .arg(step, counted(counts.cellsLeft, "cell", "cells"));
    return QString("%1: %2 and %3 left, others changed them")
        .arg(step, counted(counts.cellsLeft, "cell", "cells"),
             counted(counts.itemsLeft, "item", "items"));
}

// The password a libpq URI or keyword string carries, if any.
QString passwordIn(const QString& uri) {
    PQconninfoOption* options = PQconninfoParse(uri.toStdString().c_str(), nullptr);
    QString password;
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (std::string_view(o->keyword) == "password" && o->val)
            password = QString::fromStdString(o->val);
    PQconninfoFree(options);
    return password;
}

// The regions a role may write, as a builder reads them.
QString writableText(const std::vector<tb::CellRegion>& regions, int facet) {
    QStringList parts;
    for (const tb::CellRegion& r : regions)
        parts << QString("cells %1,%2 to %3,%4").arg(r.x1).arg(r.y1).arg(r.x2).arg(r.y2);
    if (parts.size() > 1)
        parts.last().prepend("and ");
    return parts.join(parts.size() > 2 ? ", " : " ") + QString(" of facet %1").arg(facet);
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
    connect(&window.mapViews(), &MapViews::strokeStarted, this, [this] { m_pressed = true; });
    connect(&window.mapViews(), &MapViews::strokeEnded, this, [this] {
        m_pressed = false;
        m_commitSoon.start();
    });
    m_commitSoon.setSingleShot(true);
    m_commitSoon.setInterval(0);
    connect(&m_commitSoon, &QTimer::timeout, this, &SharedMapCommands::commitEdits);
    m_viewBeat.setInterval(kViewMs);
    connect(&m_viewBeat, &QTimer::timeout, this, &SharedMapCommands::showView);
    m_reap.setInterval(kReapMs);
    connect(&m_reap, &QTimer::timeout, this, [this] {
        std::erase_if(m_leaving, [](const auto& worker) { return worker->finished(); });
        if (m_leaving.empty())
            m_reap.stop();
    });
    m_connection = m_document.connect(this);
}

SharedMapCommands::~SharedMapCommands() {
    close();
    // The workers still leaving are stopped where they are; what they hold is journalled.
    m_leaving.clear();
}

std::size_t SharedMapCommands::waitingCount() const {
    return m_shared ? m_shared->waiting() : 0;
}

std::size_t SharedMapCommands::unsettledCount() const {
    return m_shared ? m_shared->unsettled() : 0;
}

QString SharedMapCommands::stateText() const {
    if (!m_shared)
        return {};
    const std::size_t waiting = m_shared->waiting();
    if (!m_shared->online() || waiting > 0)
        return "offline: " + counted(waiting, "stroke", "strokes") + " waiting";
    if (const auto& takeBack = m_shared->lastTakeBack()) {
        const QString notice = leftNotice(takeBack->undo ? "Undo" : "Redo", takeBack->counts);
        if (!notice.isEmpty())
            return notice;
    }
    if (!m_replayed.isEmpty())
        return m_replayed;
    return QString("shared: facet %1").arg(m_facet);
}

QString SharedMapCommands::masked(QString text) const {
    for (const QString& password : m_passwords)
        if (!password.isEmpty())
            text.replace(password, "***");
    return text;
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
    options.journalBase = journalBase(m_window.settings(), m_window.applicationDir());
    // The job cannot show a dialog: without a typed password it notes whose was wanted and
    // fails; the window asks on its own thread and starts the open again.
    auto wantedFor = std::make_shared<std::optional<std::string>>();
    options.prompt = [password, wantedFor](const std::string& user) {
        if (!password)
            *wantedFor = user;
        return password;
    };
    QStringList passwords{passwordIn(uri), QString::fromLocal8Bit(std::getenv("PGPASSWORD"))};
    if (password)
        passwords << QString::fromStdString(*password);
    auto result = std::make_shared<OpenedMap>();
    Job job;
    job.caption = QString("Opening shared facet %1").arg(facet);
    job.work = [options, result](tb::Progress& progress) {
        result->share =
            std::make_unique<tb::OpenedShare>(tb::ShareSession::open(options, progress));
        // The copies are made here, not on the UI thread: the largest facet is 100 MB.
        const tb::SharedFacet& copy = result->share->copy;
        result->documentMap = tb::MapImage(copy.map());
        result->documentStatics = std::make_unique<tb::StaticsMap>(copy.statics().copy());
        result->copyMap = tb::MapImage(copy.map());
        result->copyStatics = copy.statics().copy();
    };
    job.succeeded = [this, result, uri, facet, passwords] {
        SharedMapDialog::remember(m_window.settings(), uri, facet);
        m_passwords = passwords;
        opened(std::move(*result));
    };
    job.failed = [this, wantedFor, uri, facet, passwords](const std::exception& error) {
        if (*wantedFor) {
            const QString user = QString::fromStdString(**wantedFor);
            // After this job has ended, so that the runner takes the next one.
            QTimer::singleShot(0, this, [this, user, uri, facet] {
                if (std::optional<std::string> typed = askPassword(user))
                    openWith(uri, facet, std::move(typed));
            });
            return;
        }
        QString text = QString::fromStdString(error.what());
        for (const QString& p : passwords)
            if (!p.isEmpty())
                text.replace(p, "***");
        m_window.prompts().showError(&m_window, text);
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

void SharedMapCommands::opened(OpenedMap&& map) {
    close();
    m_window.adoptMap(std::move(map.documentMap), std::move(map.documentStatics));
    const std::vector<tb::SubmitReport> replayed = std::move(map.share->replayed);
    m_facet = map.share->session.facet();
    // From here on the session belongs to the worker's thread.
    m_worker = std::make_unique<tb::ShareWorker>(
        std::move(*map.share),
        [this] {
            QMetaObject::invokeMethod(this, &SharedMapCommands::applyEvents, Qt::QueuedConnection);
        },
        m_timing);
    m_shared = std::make_unique<tb::SharedDocument>(m_document, std::move(map.copyMap),
                                                    std::move(map.copyStatics), *m_worker);
    const auto committed = std::count_if(replayed.begin(), replayed.end(), [](const auto& r) {
        return r.outcome == tb::StrokeOutcome::Committed;
    });
    m_replayed = committed == 0 ? QString()
                                : counted(std::size_t(committed), "stroke", "strokes") +
                                      " from the last session committed";
    for (const tb::SubmitReport& r : replayed)
        report(r);
    showView();
    m_viewBeat.start();
    refreshState();
}

void SharedMapCommands::close() {
    if (!m_shared)
        return;
    commitEdits();
    m_viewBeat.stop();
    m_shared.reset();
    // It sends what it holds and leaves the facet on its own thread.
    m_worker->finish();
    m_leaving.push_back(std::move(m_worker));
    m_reap.start();
    m_builders.clear();
    m_builderList->clear();
    m_replayed.clear();
    if (m_overlay)
        m_overlay->setBuilders({});
    refreshState();
}

void SharedMapCommands::cellsChanged(const tb::CellChange& change) {
    if (m_shared && !change.external)
        m_commitSoon.start();
}

void SharedMapCommands::documentReplaced() {
    // Another map was loaded: the shared one is closed (from the event loop, not from
    // inside the document's notification).
    if (m_shared && m_shared->detached())
        QTimer::singleShot(0, this, [this] {
            if (m_shared && m_shared->detached())
                close();
        });
}

void SharedMapCommands::commitEdits() {
    if (!m_shared || m_pressed || m_shared->detached() || !m_shared->hasEdits())
        return;
    m_replayed.clear();
    m_shared->commitEdits();
    refreshState();
}

void SharedMapCommands::tick() {
    if (!m_worker)
        return;
    showView();
    m_worker->beatNow();
}

void SharedMapCommands::showView() {
    if (!m_worker)
        return;
    // Whichever view is on screen, top-down or isometric.
    const tb::CellRect view = m_window.mapViews().visibleCells();
    if (!view.isEmpty())
        m_worker->showView({view.left, view.top, view.right, view.bottom});
}

void SharedMapCommands::applyEvents() {
    if (!m_shared)
        return;
    const tb::SharedDocument::Notes notes = m_shared->applyEvents(kApplyBudget);
    if (notes.more)
        QTimer::singleShot(0, this, &SharedMapCommands::applyEvents);
    if (notes.buildersChanged)
        refreshBuilders();
    refreshState();
    // Messages last: a modal box runs an event loop, and this call may be back in it.
    for (const std::string& failure : notes.failures)
        m_window.prompts().showError(&m_window, masked(QString::fromStdString(failure)));
    for (const tb::SubmitReport& refusal : notes.refusals)
        report(refusal);
    if (notes.facetReplaced)
        m_window.prompts().showMessage(
            &m_window, "The shared facet was imported again; open it again to see it.");
}

void SharedMapCommands::report(const tb::SubmitReport& outcome) {
    if (outcome.outcome != tb::StrokeOutcome::Refused)
        return;
    QString text = "Your stroke was taken back: ";
    if (!outcome.writable)
        text += "the server does not let you change those cells.";
    else if (outcome.writable->empty())
        text += QString("you may look at facet %1 but not change it.").arg(m_facet);
    else
        text += "you may change only " + writableText(*outcome.writable, m_facet) + ".";
    m_window.prompts().showDetailedError(&m_window, masked(text),
                                         masked(QString::fromStdString(outcome.serverMessage)));
}

void SharedMapCommands::refreshBuilders() {
    m_builders = m_shared ? m_shared->builders() : std::vector<tb::PresentBuilder>{};
    m_builderList->clear();
    for (const tb::PresentBuilder& builder : m_builders)
        m_builderList->addItem(QString("%1 at %2, %3")
                                   .arg(QString::fromStdString(builder.name))
                                   .arg(builder.view.x1)
                                   .arg(builder.view.y1));
    if (m_overlay)
        m_overlay->setBuilders(m_builders);
}

void SharedMapCommands::refreshState() {
    m_stateLabel->setText(masked(stateText()));
}

} // namespace tbapp
