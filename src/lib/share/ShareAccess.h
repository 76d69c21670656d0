#pragma once
// Who may read and write the shared world: rights given to PostgreSQL roles, by facet and,
// for writing, by region. The server enforces them (privileges and row-level security);
// the editor only reads them back to name the region in a refusal.

#include "share/ShareConnection.h"

#include <optional>
#include <string>
#include <vector>

namespace tb {

enum class AccessLevel { Read, Write };

// A rectangle of cells, both corners included; rights cover whole blocks of 8 x 8 cells.
struct CellRegion {
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    friend bool operator==(const CellRegion&, const CellRegion&) = default;
};

struct AccessGrant {
    std::string role;
    AccessLevel level = AccessLevel::Read;
    std::optional<int> facet;         // none: every facet
    std::optional<CellRegion> region; // write rights only; needs a facet
};

class ShareAccess {
public:
    // Why `grant` cannot be given as it stands (a region that does not cover whole blocks,
    // a region without a facet or on a read right); empty when it can.
    static std::string problemWith(const AccessGrant& grant);
    // Gives the right, in one transaction: the table privileges and the row of the rights
    // table the policies read. Giving a right twice changes nothing. Throws
    // std::invalid_argument for a grant problemWith() objects to, ShareError when the role
    // does not exist or the connected role may not give rights.
    static void grant(ShareConnection& connection, const AccessGrant& grant);

    // The regions of facet `facet` the connected role may write, in cells (a whole-facet
    // right gives one region of the whole facet, `width` x `height` cells).
    static std::vector<CellRegion> writeRegions(ShareConnection& connection, int facet, int width,
                                                int height);
    // The regions as a refusal names them: "cells 0,0 to 1023,511 of facet 0", several joined
    // by "; ", or "nowhere: the role may only read facet 0".
    static std::string describe(const std::vector<CellRegion>& regions, int facet);
};

} // namespace tb
