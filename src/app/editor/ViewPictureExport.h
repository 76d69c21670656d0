#pragma once
// Extra > "Export view as PNG...": what the map view shows, saved as a PNG picture.

#include <QImage>

#include <functional>

class QWidget;

namespace tbapp {
class JobRunner;
class Prompts;

// Asks for the file, takes the picture of the view on screen (`viewPicture`) and writes it
// there atomically as a job of `jobs`, so the editor goes on meanwhile; a failure is reported.
void exportViewPicture(const std::function<QImage()>& viewPicture, Prompts& prompts,
                       JobRunner& jobs, QWidget* window);

} // namespace tbapp
