// The radar colour table from files of any length and content.
#include "FuzzSupport.h"

#include "core/RadarColours.h"
#include "shell/Errors.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static tbfuzz::MemFile file;
    file.assign(bytes);
    tb::RadarColours table;
    bool complete = true;
    try {
        table.read(file.path());
    } catch (const tb::FileError&) {
        complete = false;
    }
    tbfuzz::check(complete == (size >= 2 * std::size_t(tb::RadarColours::kEntriesRead)),
                  "radar table completeness");
    // Whole colours read stay, the rest is black; ids outside the table are black.
    for (int id : {-1, 0, 1, 16382, 16383, 32767, 32768, 65535}) {
        const std::uint16_t c = table.colour(id);
        if (id < 0 || id >= tb::RadarColours::kEntriesRead || std::size_t(id) * 2 + 2 > size)
            tbfuzz::check(c == 0, "colour outside what was read");
        else
            tbfuzz::check(c == std::uint16_t(data[2 * id] | data[2 * id + 1] << 8),
                          "colour differs from the file");
    }
    return 0;
}
