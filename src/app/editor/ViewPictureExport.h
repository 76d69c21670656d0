#pragma once
// Extra > "Export view as PNG...": what the map view shows, saved as a PNG picture.

class QWidget;

namespace tbapp {
class MapView;
class Prompts;

// Asks for the file and writes the view's picture there atomically; a failure is reported.
void exportViewPicture(MapView& view, Prompts& prompts, QWidget* window);

} // namespace tbapp
