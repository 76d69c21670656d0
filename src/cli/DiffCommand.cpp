// tbmap diff: a block diff patch between two directories of client files.
#include "Commands.h"

#include "diff/DiffFormat.h"
#include "diff/DiffGenerator.h"
#include "diff/DiffInputNames.h"
#include "shell/Terminal.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tbcli {
namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The file called `name` in `dir`, its name matched without regard to case; an exact
// spelling wins when several files match. Nothing when there is none.
std::optional<fs::path> findFile(const fs::path& dir, const std::string& name) {
    if (fs::is_regular_file(dir / name))
        return dir / name;
    std::optional<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (!entry.is_regular_file(ec) || lowerCase(entry.path().filename().string()) != name)
            continue;
        if (found)
            throw std::runtime_error("\"" + dir.string() + "\" holds more than one " + name);
        found = entry.path();
    }
    return found;
}

// The three files of a set. A file the chosen parts do not read may be absent.
tb::DiffFileSet findSet(const fs::path& dir, bool withStatics, bool withMap) {
    if (!fs::is_directory(dir))
        throw std::runtime_error("\"" + dir.string() + "\" is not a directory");
    auto pick = [&](const std::string& name, bool needed) {
        if (const auto path = findFile(dir, name))
            return *path;
        if (needed)
            throw std::runtime_error("\"" + dir.string() + "\" holds no " + name);
        return dir / name;
    };
    // The map may be the container of current clients instead of map0.mul.
    std::optional<fs::path> map;
    for (std::string_view name : tb::kDiffMapNames)
        if (!map)
            map = findFile(dir, std::string(name));
    if (!map && withMap)
        throw std::runtime_error("\"" + dir.string() +
                                 "\" holds neither map0.mul nor map0LegacyMUL.uop");
    return {pick("staidx0.mul", withStatics), pick("statics0.mul", withStatics),
            map.value_or(dir / "map0.mul")};
}

// Stage and percentage on one terminal line; a new caption is a new stage.
class TerminalProgress : public tb::Progress {
public:
    void report(std::string_view caption, std::int64_t done, std::int64_t) override {
        if (caption != m_stage) {
            m_stage = caption;
            m_percent = -1;
        }
        const int value = int(done);
        if (value == m_percent)
            return;
        m_percent = value;
        std::fprintf(stderr, "\r%-40s %3d%%", m_stage.c_str(), value);
        std::fflush(stderr);
    }
    void finish() {
        if (m_percent >= 0)
            std::fputc('\n', stderr);
    }

private:
    std::string m_stage;
    int m_percent = -1;
};

std::string hex32(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

} // namespace

int runDiff(const Args& args) {
    std::vector<std::string> positional;
    bool staticsOnly = false;
    bool mapOnly = false;
    for (const std::string& a : args) {
        if (a == "--statics-only")
            staticsOnly = true;
        else if (a == "--map-only")
            mapOnly = true;
        else if (a.starts_with("--"))
            return usageError("diff");
        else
            positional.push_back(a);
    }
    if (positional.size() != 3 || (staticsOnly && mapOnly))
        return usageError("diff");
    const bool withStatics = !mapOnly;
    const bool withMap = !staticsOnly;
    const tb::DiffFileSet original = findSet(positional[0], withStatics, withMap);
    const tb::DiffFileSet modified = findSet(positional[1], withStatics, withMap);

    TerminalProgress terminal;
    const bool showProgress = tb::errorStreamIsTerminal();
    tb::Progress& progress = showProgress ? static_cast<tb::Progress&>(terminal) : tb::noProgress();
    tb::DiffSummary summary;
    try {
        summary =
            tb::generateDiff(original, modified, positional[2], withStatics, withMap, progress);
    } catch (const tb::StaticsLengthError& e) {
        if (showProgress)
            terminal.finish();
        if (e.indexFile().empty())
            throw;
        return failure("\"" + e.indexFile().string() + "\", block column " +
                       std::to_string(e.blockColumn()) + ", row " + std::to_string(e.blockRow()) +
                       ": " + e.what());
    } catch (...) {
        if (showProgress)
            terminal.finish();
        throw;
    }
    if (showProgress)
        terminal.finish();

    const tb::TBHDInfo& h = summary.header;
    std::cout << "patch: " << positional[2] << " (" << summary.patchSize << " bytes)\n";
    if (withStatics)
        std::cout << "statics blocks stored: " << summary.staticsBlocksStored
                  << ", emptied: " << summary.staticsBlocksEmptied << '\n'
                  << "statics index CRC: original " << hex32(h.origStaIdxCRC) << ", modified "
                  << hex32(h.modStaIdxCRC) << '\n';
    if (withMap)
        std::cout << "map blocks stored: " << summary.mapBlocksStored << '\n'
                  << "map CRC: " << hex32(h.mapCRC) << '\n';
    std::cout << "Done.\n";
    return 0;
}

} // namespace tbcli
