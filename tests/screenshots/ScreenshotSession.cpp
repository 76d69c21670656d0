#include "ScreenshotSession.h"

#include "WidgetDriver.h"

#include "app/editor/StartupWindows.h"
#include "app/shell/Settings.h"

#include "core/MapVariant.h"
#include "demo/DemoDataSet.h"
#include "shell/AtomicFileWriter.h"

#include <QDir>

#include <filesystem>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace shots {
namespace {

fs::path toPath(const QString& text) {
    return fs::path(text.toStdU16String());
}

// A statics pair without a single static: every index entry marks an empty block.
void writeEmptyStatics(const fs::path& dir, const tb::MapVariant& variant) {
    const std::size_t blocks = std::size_t(variant.widthBlocks()) * variant.heightBlocks();
    const std::vector<unsigned char> index(blocks * 12, 0xFF);
    tb::writeFileAtomically(dir / "staidx0.mul", index.data(), index.size());
    tb::writeFileAtomically(dir / "statics0.mul", std::string_view());
}

// The default catalogues, as a fresh portable copy of the program holds them.
void copyDefaultCatalogues(const fs::path& to) {
    const fs::path from = TB_DEFAULT_CATALOGUE_DIR;
    fs::create_directories(to);
    fs::copy_file(from / "tilelist.xml", to / "tilelist.xml");
    for (const char* folder : {"textures", "brushes", "terrains"})
        fs::copy(from / folder, to / folder, fs::copy_options::recursive);
}

} // namespace

ScreenshotSession::ScreenshotSession() : m_previousDir(QDir::currentPath()) {
    if (!m_work.isValid())
        throw ScreenshotError("cannot make a temporary folder: " +
                              m_work.errorString().toStdString());
    if (!QDir::setCurrent(m_work.path()))
        throw ScreenshotError("cannot enter " + m_work.path().toStdString());

    const tb::demo::DemoReport demo = tb::demo::writeDemoDataSet(toPath(demoDir()));
    const tb::MapVariant variant = tb::demo::defaultDemoVariant();
    writeEmptyStatics(toPath(demoDir()), variant);
    fs::create_directories(toPath(originalDir()));
    fs::copy_file(demo.files.front().path, toPath(originalDir()) / "map0.mul");
    writeEmptyStatics(toPath(originalDir()), variant);
    copyDefaultCatalogues("program");

    // The paths the editor restores at its first show, as after an earlier session.
    m_settings = tbapp::openSettingsStore(QDir::current().filePath("settings.ini"));
    tbapp::writeSettingText(*m_settings, "MAPx.mul", QDir(demoDir()).filePath("map0.mul"));
    tbapp::writeSettingText(*m_settings, "UOPath", QDir(demoDir()).filePath("game"));
    tbapp::syncSettingsStore(*m_settings);

    m_windows = std::make_unique<tbapp::StartupWindows>(
        *m_settings, QDir::current().filePath("program") + "/", m_random, m_prompts);
}

ScreenshotSession::~ScreenshotSession() {
    m_windows.reset();
    QDir::setCurrent(m_previousDir);
}

tbapp::MapEditorWindow& ScreenshotSession::mainWindow() {
    return m_windows->mainForm;
}

void ScreenshotSession::requireNoMessages(const QString& step) {
    if (m_prompts.shown.isEmpty())
        return;
    const QString texts = m_prompts.shown.join("\" / \"");
    m_prompts.forgetShown();
    throw ScreenshotError(QString("%1: the window reported \"%2\"").arg(step, texts).toStdString());
}

} // namespace shots
