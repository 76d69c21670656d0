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

} // namespace

int runEnlarge(const Args& args) {
    if (args.size() != 2)
        return usageError("enlarge");
    try {
        ProgressLine line;
        tb::enlargeMap(args[0], args[1], line);
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
        tb::copyMapCells(args[0], rect, args[5], line);
    } catch (const tb::ToolRefusal& e) {
        return failure(e.what());
    }
    return 0;
}

} // namespace tbcli
