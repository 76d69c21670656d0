#pragma once
// Who is connected to a shared facet and what each one looks at: every editor announces its
// view rectangle every few seconds, and lists the others seen lately.

#include "share/ShareAccess.h"
#include "share/ShareConnection.h"
#include "share/Stroke.h"

#include <chrono>
#include <string>
#include <vector>

namespace tb {

struct PresentBuilder {
    std::string name; // the builder's role
    CellRegion view;  // the cells the builder's view shows
};

class Presence {
public:
    // One editor's presence on facet `facet`, announced through `connection`.
    Presence(ShareConnection& connection, int facet);

    // Tells the others that this editor now shows `view`. Throws as the connection does.
    void announce(const CellRegion& view);
    // The other editors on the facet that announced themselves within `within`, by name.
    std::vector<PresentBuilder> others(std::chrono::seconds within = std::chrono::seconds(15));
    // Takes this editor off the list (closing the shared map).
    void leave();

private:
    ShareConnection& m_connection;
    int m_facet;
    StrokeId m_session; // a random id, as strokes have
};

} // namespace tb
