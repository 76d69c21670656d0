// tbmap share: the shared world in PostgreSQL from a shell. init makes the tables, import
// and export move a facet between the game's files and the database, grant gives a role
// read or write rights (by region). Connections take libpq URIs; a password comes from
// ~/.pgpass, PGPASSWORD or, on a terminal, a prompt.
#include "Commands.h"

#ifdef TB_HAVE_SHARE

#include "share/FacetExport.h"
#include "share/FacetImport.h"
#include "share/ShareAccess.h"
#include "share/ShareConnection.h"
#include "share/ShareErrors.h"
#include "share/ShareSchema.h"
#include "share/TerminalPassword.h"
#include "shell/NumberText.h"
#include "shell/Progress.h"
#include "shell/Terminal.h"

#include <iostream>
#include <optional>
#include <stdexcept>

namespace tbcli {
namespace {

// The words of a share command: --db URI, --facet N, --rect X1 Y1 X2 Y2, the flags, and
// the rest in order.
struct ShareArgs {
    std::optional<std::string> db;
    std::optional<int> facet;
    std::optional<tb::CellRegion> rect;
    bool replace = false;
    bool uop = false;
    Args positional;
};

std::optional<ShareArgs> parse(const Args& args) {
    ShareArgs out;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        auto values = [&](std::size_t n) { return i + n < args.size(); };
        if (word == "--db" && values(1)) {
            out.db = args[++i];
        } else if (word == "--facet" && values(1)) {
            out.facet = tb::strToInt(args[++i]);
        } else if (word == "--rect" && values(4)) {
            tb::CellRegion r;
            r.x1 = tb::strToInt(args[i + 1]);
            r.y1 = tb::strToInt(args[i + 2]);
            r.x2 = tb::strToInt(args[i + 3]);
            r.y2 = tb::strToInt(args[i + 4]);
            out.rect = r;
            i += 4;
        } else if (word == "--replace") {
            out.replace = true;
        } else if (word == "--uop") {
            out.uop = true;
        } else if (word.starts_with("--")) {
            return std::nullopt;
        } else {
            out.positional.push_back(word);
        }
    }
    return out;
}

// Progress on a terminal only, rewriting one line, as the other long commands show it.
class ProgressLine : public tb::Progress {
public:
    ProgressLine() : m_shown(tb::errorStreamIsTerminal()) {}
    ~ProgressLine() override {
        if (m_shown && m_percent >= 0)
            std::cerr << '\n';
    }
    void report(std::string_view caption, std::int64_t done, std::int64_t total) override {
        const int percent = total > 0 ? int(done * 100 / total) : 0;
        if (!m_shown || percent == m_percent)
            return;
        m_percent = percent;
        std::cerr << '\r' << caption << " (" << percent << "%)\x1b[K" << std::flush;
    }

private:
    bool m_shown;
    int m_percent = -1;
};

tb::ShareConnection connect(const std::string& uri) {
    return tb::ShareConnection::open(uri, [](const std::string& user) {
        return tb::readPasswordFromTerminal("Password for " + user + ": ");
    });
}

int runInit(const ShareArgs& a) {
    if (!a.db || !a.positional.empty() || a.facet || a.rect || a.replace || a.uop)
        return usageError("share");
    tb::ShareConnection connection = connect(*a.db);
    if (tb::ShareSchema::create(connection))
        std::cout << "The shared world's tables are made.\n";
    else
        std::cout << "The database holds the shared world's tables already.\n";
    return 0;
}

int runImport(const ShareArgs& a) {
    if (!a.db || !a.facet || a.positional.size() != 1 || a.rect || a.uop)
        return usageError("share");
    // The folder and the facet are the command's own to check: a wrong one is said before
    // the server is asked for anything.
    const tb::FacetFolder folder = tb::readFacetFolder(a.positional[0], *a.facet);
    tb::ShareConnection connection = connect(*a.db);
    tb::ShareSchema::check(connection);
    tb::FacetImportReport report;
    try {
        ProgressLine line;
        report = tb::importFacet(connection, folder, a.replace, line);
    } catch (const tb::FacetExists& e) {
        return failure(std::string(e.what()) + " Give --replace to overwrite it.");
    }
    if (!report.staticsWarning.empty())
        std::cerr << "tbmap: " << report.staticsWarning << '\n';
    std::cout << "Facet " << *a.facet << (report.replaced ? " replaced" : " imported") << " from "
              << report.mapFile.filename().string() << ": " << report.landBlocks << " land blocks, "
              << report.staticsRecords << " statics records"
              << (report.withStatics ? "" : " (no statics pair in the folder)") << ".\n";
    return 0;
}

int runExport(const ShareArgs& a) {
    if (!a.db || !a.facet || a.positional.size() != 1 || a.rect || a.replace)
        return usageError("share");
    tb::ShareConnection connection = connect(*a.db);
    tb::ShareSchema::check(connection);
    ProgressLine line;
    tb::exportFacet(connection, *a.facet, a.positional[0], a.uop, line);
    return 0;
}

int runGrant(const ShareArgs& a) {
    if (!a.db || a.positional.size() != 2 || a.replace || a.uop || (a.rect && !a.facet))
        return usageError("share");
    tb::AccessGrant grant;
    grant.role = a.positional[0];
    if (a.positional[1] == "read")
        grant.level = tb::AccessLevel::Read;
    else if (a.positional[1] == "write")
        grant.level = tb::AccessLevel::Write;
    else
        return usageError("share");
    grant.facet = a.facet;
    grant.region = a.rect;
    if (const std::string problem = tb::ShareAccess::problemWith(grant); !problem.empty())
        return failure(problem);
    tb::ShareConnection connection = connect(*a.db);
    tb::ShareSchema::check(connection);
    tb::ShareAccess::grant(connection, grant);
    const std::string where = !grant.facet ? "every facet"
                              : !grant.region
                                  ? "facet " + std::to_string(*grant.facet)
                                  : tb::ShareAccess::describe({*grant.region}, *grant.facet);
    std::cout << grant.role << " may now "
              << (grant.level == tb::AccessLevel::Read ? "read" : "write") << " " << where << ".\n";
    return 0;
}

} // namespace

int runShare(const Args& args) {
    if (args.empty())
        return usageError("share");
    const std::optional<ShareArgs> parsed = parse(args);
    if (!parsed)
        return usageError("share");
    const std::string& what = args[0];
    if (what == "init")
        return runInit(*parsed);
    if (what == "import")
        return runImport(*parsed);
    if (what == "export")
        return runExport(*parsed);
    if (what == "grant")
        return runGrant(*parsed);
    return usageError("share");
}

} // namespace tbcli

#else

namespace tbcli {

int runShare(const Args&) {
    return failure("this tbmap was built without shared maps (libpq was not found)");
}

} // namespace tbcli

#endif
