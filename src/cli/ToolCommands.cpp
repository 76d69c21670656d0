// tbmap enlarge and tbmap copy: the map enlargement and the map copy from a shell, with the
// same checks and messages as their windows.
#include "CommandChecks.h"
#include "Commands.h"

#include "core/MapFile.h"
#include "shell/Terminal.h"
#include "tools/MapCopy.h"
#include "tools/MapEnlarge.h"
#include "tools/ToolFiles.h"

#include <filesystem>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

namespace tbcli {
namespace {

// Progress goes to a terminal only, rewriting one line with each caption; scripts see
// nothing but failures.
class ProgressLine : public tb::Progress {
public:
    ProgressLine() : m_shown(tb::errorStreamIsTerminal()) {}
    ~ProgressLine() override {
        if (m_shown && !m_last.empty())
            std::cerr << '\n';
    }
    void report(std::string_view caption, std::int64_t, std::int64_t) override {
        if (!m_shown || caption == m_last)
            return;
        std::cerr << '\r' << caption << "\x1b[K" << std::flush;
        m_last = caption;
    }

private:
    bool m_shown;
    std::string m_last;
};

// "Wrong source map file!" and the like with the file and why around the fixed text.
std::string withReason(const std::string& fixedText, const std::string& reason) {
    return fixedText + " (" + reason + ")";
}

// Why the enlarged map must not be written under `destination`: its name would not be read
// as the 7168 x 4096 layout again. Nothing when it would.
std::optional<std::string> enlargedNameProblem(const fs::path& destination) {
    const std::string name = destination.filename().string();
    const bool readBack =
        tb::mapFileFormatOf(destination) == tb::MapFileFormat::Uop
            ? tb::isUopMapFileName(name) &&
                  tb::identifyUopMapVariant(*tb::facetFromFileName(name), tb::kEnlargedFileSize)
            : tb::identifyMapVariant(name, tb::kEnlargedFileSize).has_value();
    if (readBack)
        return std::nullopt;
    return "cannot write " + inQuotes(destination) +
           ": a 7168x4096 map is read as such only under the names map0.mul, map1.mul, "
           "map0LegacyMUL.uop, map1LegacyMUL.uop, map0xLegacyMUL.uop or map1xLegacyMUL.uop";
}

// The first of the window's coordinate checks that refuses `rect`, as "X2 1500: ...".
std::string coordinateProblem(const tb::CopyRect& rect, const fs::path& source,
                              const fs::path& destination) {
    const std::optional<tb::MapVariant> from = tb::identifyMapFile(source);
    const std::optional<tb::MapVariant> to = tb::identifyMapFile(destination);
    if (!from)
        return "source map " + inQuotes(source) + ": " + tb::unknownMapReason(source);
    if (!to)
        return "destination map " + inQuotes(destination) + ": " +
               tb::unknownMapReason(destination);
    const struct {
        const char* name;
        std::int32_t value;
        int last;
        const char* what;
    } sources[] = {{"X1", rect.x1, from->width - 1, "column"},
                   {"X2", rect.x2, from->width - 1, "column"},
                   {"Y1", rect.y1, from->height - 1, "row"},
                   {"Y2", rect.y2, from->height - 1, "row"}};
    for (const auto& c : sources)
        if (tb::sourceCoordinateOutOfRange(c.value, c.last))
            return std::string(c.name) + " " + std::to_string(c.value) + ": the source map's " +
                   c.what + "s are 0.." + std::to_string(c.last);
    const struct {
        const char* name;
        std::int64_t d, c1, c2;
        int last;
        const char* what;
    } targets[] = {{"DX", rect.dx, rect.x1, rect.x2, to->width - 1, "column"},
                   {"DY", rect.dy, rect.y1, rect.y2, to->height - 1, "row"}};
    for (const auto& t : targets)
        if (tb::targetCoordinateOutOfRange(t.d, t.c1, t.c2, t.last))
            return std::string(t.name) + " " + std::to_string(t.d) + ": the copy would cover " +
                   t.what + "s " + std::to_string(t.d) + ".." + std::to_string(t.d + t.c2 - t.c1) +
                   " of the destination map, whose " + t.what + "s are 0.." +
                   std::to_string(t.last);
    return "the window's checks refuse them";
}

} // namespace

int runEnlarge(const Args& args) {
    if (args.size() != 2)
        return usageError("enlarge");
    const fs::path source = args[0];
    const fs::path destination = args[1];
    if (!tb::identifyMapFile(source))
        return failure(withReason(tb::kWrongSourceMapMessage,
                                  inQuotes(source) + ": " + tb::unknownMapReason(source)));
    if (tb::sameFile(source, destination))
        return failure(withReason(tb::kEnlargeOntoSourceMessage, inQuotes(destination) +
                                                                     " is the source map " +
                                                                     inQuotes(source) + " itself"));
    if (const auto problem = enlargedNameProblem(destination))
        return failure(*problem);
    try {
        ProgressLine line;
        tb::enlargeMap(source, destination, line);
    } catch (const tb::ToolRefusal& e) {
        return failure(e.what());
    }
    return 0;
}

int runCopy(const Args& args) {
    if (args.size() != 8)
        return usageError("copy");
    // The coordinates are read before any file is looked at, as the window reads its edits.
    tb::CopyRect rect;
    rect.x1 = intArgument("X1", args[1]);
    rect.y1 = intArgument("Y1", args[2]);
    rect.x2 = intArgument("X2", args[3]);
    rect.y2 = intArgument("Y2", args[4]);
    rect.dx = intArgument("DX", args[6]);
    rect.dy = intArgument("DY", args[7]);
    const fs::path source = args[0];
    const fs::path destination = args[5];
    // The window copies nothing then and says nothing; a script is told.
    if (rect.x2 < rect.x1)
        return failure("X2 " + args[3] + " is less than X1 " + args[1] + ": nothing to copy");
    if (rect.y2 < rect.y1)
        return failure("Y2 " + args[4] + " is less than Y1 " + args[2] + ": nothing to copy");
    // A copy writes into a map that is there: a missing one is said to be missing, not
    // blamed on the coordinates.
    std::error_code ec;
    if (fs::status(destination, ec).type() == fs::file_type::not_found)
        return failure(withReason(tb::kUnknownMapMessage, "destination map " +
                                                              inQuotes(destination) + ": " +
                                                              tb::unknownMapReason(destination)));
    try {
        ProgressLine line;
        tb::copyMapCells(source, rect, destination, line);
    } catch (const tb::ToolRefusal& e) {
        const std::string text = e.what();
        if (text == tb::kWrongCoordinatesMessage || text == tb::kUnknownMapMessage)
            return failure(withReason(text, coordinateProblem(rect, source, destination)));
        return failure(text);
    }
    return 0;
}

} // namespace tbcli
