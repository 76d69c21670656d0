#pragma once
// The bookmarks of the map view in bookmarklist.xml beside the program (found without
// regard to case, like the other files there). Failures are reported through the prompts.

#include <QString>

class QWidget;

namespace tbapp {
class MapView;
class Prompts;

// Reads the file into the view's bookmarks and shows them; a missing file leaves none.
void readBookmarks(const QString& applicationDir, MapView& view, Prompts& prompts, QWidget* window);
// Writes the view's bookmarks, replacing the file atomically.
void writeBookmarks(const QString& applicationDir, MapView& view, Prompts& prompts,
                    QWidget* window);

} // namespace tbapp
