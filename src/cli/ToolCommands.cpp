// tbmap enlarge and tbmap copy: the map enlargement and the map copy from a shell, with the
// same checks and messages as their windows.
#include "Commands.h"

#include "shell/NumberText.h"
#include "shell/Terminal.h"
#include "tools/MapCopy.h"
#include "tools/MapEnlarge.h"
#include "tools/ToolFiles.h"

#include <iostream>

namespace tbcli {
namespace {

// Progress goes to a terminal only, rewriting one line; scripts see nothing but failures.
class ProgressLine {
public:
    ProgressLine() : m_shown(tb::errorStreamIsTerminal()) {}
    ~ProgressLine() {
        if (m_shown && !m_last.empty())
            std::cerr << '\n';
    }
    void show(const std::string& text) {
        if (!m_shown || text == m_last)
            return;
        std::cerr << '\r' << text << "\x1b[K" << std::flush;
        m_last = text;
    }

private:
    bool m_shown;
    std::string m_last;
};

} // namespace

int runEnlarge(const Args& args) {
    if (args.size() != 2)
        return usageError("enlarge");
    try {
        ProgressLine line;
        tb::enlargeMap(args[0], args[1], [&](const tb::EnlargeProgress& p) { line.show(p.text); });
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
    rect.x1 = tb::strToInt(args[1]);
    rect.y1 = tb::strToInt(args[2]);
    rect.x2 = tb::strToInt(args[3]);
    rect.y2 = tb::strToInt(args[4]);
    rect.dx = tb::strToInt(args[6]);
    rect.dy = tb::strToInt(args[7]);
    try {
        ProgressLine line;
        tb::copyMapCells(args[0], rect, args[5], [&](int percent) {
            line.show("Copying (" + std::to_string(percent) + "%)");
        });
    } catch (const tb::ToolRefusal& e) {
        return failure(e.what());
    }
    return 0;
}

} // namespace tbcli
