// UOP containers: the whole input is a container file named map1LegacyMUL.uop. The table
// reader must keep every entry inside the file and find each by its hash; an entry is
// either read (inflated) to its stated length or refused with a FileError. A map that
// loads must read the same through the streaming reader, and saving it must give a file
// that loads to the same map and saves again to the very same bytes.
#include "FuzzSupport.h"

#include "core/MapFileReader.h"
#include "core/MapImage.h"
#include "core/UopContainer.h"
#include "shell/Errors.h"
#include "shell/FileReader.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A folder of this process's own, removed at exit.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        std::error_code ec;
        const fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        path = base / ("tbfuzz-uop-" + std::to_string(::getpid()));
        fs::create_directories(path / "a");
        fs::create_directories(path / "b");
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

std::vector<char> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void checkTables(const fs::path& path, std::size_t size) {
    const tb::FileReader file(path);
    const tb::UopContainer container(file);
    for (const tb::UopEntry& e : container.entries()) {
        tbfuzz::check(e.dataOffset > 0 && std::uint64_t(e.bytesOffset()) + e.storedLength <= size,
                      "an entry's bytes lie outside the file");
        tbfuzz::check(container.find(e.hash) == &e, "an entry is not found by its hash");
        if (e.length > (1u << 20))
            continue;
        std::vector<unsigned char> out(e.length);
        try {
            container.readEntry(e, out.data());
        } catch (const tb::FileError&) {
        }
    }
}

void checkMap(const fs::path& path, const ScratchFolder& scratch) {
    const tb::MapImage image = tb::MapImage::load(path);
    const tb::MapFileReader reader(path);
    tbfuzz::check(reader.size() == std::int64_t(image.size()), "reader and image sizes differ");
    tbfuzz::check(reader.variant().has_value() == image.hasGeometry(), "identification differs");
    std::vector<unsigned char> streamed(image.size());
    reader.readAt(0, streamed.data(), streamed.size());
    tbfuzz::check(streamed == image.bytes(), "reader and image bytes differ");

    const fs::path first = scratch.path / "a" / "map1LegacyMUL.uop";
    const fs::path second = scratch.path / "b" / "map1LegacyMUL.uop";
    image.save(first);
    const tb::MapImage again = tb::MapImage::load(first);
    tbfuzz::check(again.bytes() == image.bytes(), "a saved map reads back differently");
    again.save(second);
    tbfuzz::check(readAll(first) == readAll(second), "saving a saved container changes it");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFolder scratch;
    const fs::path path = scratch.path / "map1LegacyMUL.uop";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    try {
        checkTables(path, size);
    } catch (const tb::FileError&) {
        return 0;
    }
    try {
        checkMap(path, scratch);
    } catch (const tb::FileError&) {
    }
    return 0;
}
