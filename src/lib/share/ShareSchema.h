#pragma once
// The tables of the shared world in a database: made once by `tbmap share init`, checked by
// every client before it reads or writes.

#include "share/ShareConnection.h"

namespace tb {

class ShareSchema {
public:
    // Makes the schema in the connected database, in one transaction; returns false when it
    // is already there in this program's version. Throws ShareError when the role may not
    // make it, or an older or newer version is there.
    static bool create(ShareConnection& connection);
    // Throws ShareError unless the database holds the schema in this program's version.
    static void check(ShareConnection& connection);

private:
    // The version found; 0 when the database holds no shared world.
    static int version(ShareConnection& connection);
};

} // namespace tb
