#include "app/editor/BookmarkStorage.h"

#include "app/editor/MapView.h"

#include "app/shell/Prompts.h"

#include "catalogue/TextureList.h"
#include "editor/Bookmarks.h"

#include <filesystem>

namespace tbapp {
namespace {

std::filesystem::path bookmarkPath(const QString& applicationDir) {
    return tb::resolveAppPath(std::filesystem::path(applicationDir.toStdU16String()),
                              tb::kBookmarkFileName);
}

} // namespace

void readBookmarks(const QString& applicationDir, MapView& view, Prompts& prompts,
                   QWidget* window) {
    runReported(prompts, window,
                [&] { tb::readBookmarkFile(bookmarkPath(applicationDir), view.bookmarks()); });
    view.showBookmarks();
}

void writeBookmarks(const QString& applicationDir, MapView& view, Prompts& prompts,
                    QWidget* window) {
    runReported(prompts, window,
                [&] { tb::writeBookmarkFile(bookmarkPath(applicationDir), view.bookmarks()); });
}

} // namespace tbapp
