#pragma once
// Extra > "Export view as PNG...": what the map view shows, saved as a PNG picture.

class QWidget;

namespace tbapp {
class JobRunner;
class MapView;
class Prompts;

// Asks for the file, takes the view's picture and writes it there atomically as a job of
// `jobs`, so the editor goes on meanwhile; a failure is reported.
void exportViewPicture(MapView& view, Prompts& prompts, JobRunner& jobs, QWidget* window);

} // namespace tbapp
