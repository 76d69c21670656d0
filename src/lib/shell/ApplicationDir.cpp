#include "shell/ApplicationDir.h"

#include "shell/AtomicFileWriter.h"
#include "shell/FileBytes.h"
#include "shell/NativeFile.h"

#include <algorithm>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tb {
namespace {

constexpr const char* kTileListName = "tilelist.xml";

void addFilesOf(const fs::path& programDir, const char* folder, const char* extension,
                std::vector<fs::path>& files) {
    std::error_code ec;
    std::vector<fs::path> found;
    for (fs::directory_iterator it(programDir / folder, ec), end; !ec && it != end;
         it.increment(ec))
        if (it->is_regular_file(ec) && it->path().extension() == extension)
            found.push_back(fs::path(folder) / it->path().filename());
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
}

} // namespace

std::vector<fs::path> defaultCatalogueFiles(const fs::path& programDir) {
    std::vector<fs::path> files;
    addFilesOf(programDir, "textures", ".lst", files);
    addFilesOf(programDir, "brushes", ".brs", files);
    addFilesOf(programDir, "terrains", ".xml", files);
    std::error_code ec;
    if (fs::is_regular_file(programDir / kTileListName, ec))
        files.emplace_back(kTileListName); // last: it marks a completed seeding
    return files;
}

bool isWritableFolder(const fs::path& dir) {
    std::random_device rd;
    const fs::path probe = dir / (".write-probe-" + std::to_string(rd()));
    NativeFile file;
    if (file.open(probe, NativeFile::Mode::CreateNew))
        return false;
    file.close();
    std::error_code ignored;
    fs::remove(probe, ignored);
    return true;
}

ApplicationDirChoice chooseApplicationDir(const fs::path& programDir, const fs::path& userDataDir) {
    ApplicationDirChoice choice;
    if (isWritableFolder(programDir) || userDataDir.empty()) {
        choice.dir = programDir;
        return choice;
    }
    choice.dir = userDataDir;
    std::error_code ec;
    fs::create_directories(userDataDir, ec); // the editor writes its bookmarks there too
    if (fs::exists(userDataDir / kTileListName, ec))
        return choice;
    for (const fs::path& file : defaultCatalogueFiles(programDir)) {
        const fs::path target = userDataDir / file;
        if (fs::exists(target, ec))
            continue;
        try {
            fs::create_directories(target.parent_path(), ec);
            const std::vector<unsigned char> bytes = readFileBytes(programDir / file);
            writeFileAtomically(target, bytes.data(), bytes.size());
            choice.seeded.push_back(file.generic_string());
        } catch (const std::exception& e) {
            choice.problems.push_back(e.what());
        }
    }
    return choice;
}

} // namespace tb
