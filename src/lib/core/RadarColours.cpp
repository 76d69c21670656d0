#include "core/RadarColours.h"

#include "shell/Errors.h"
#include "shell/LittleEndian.h"
#include "shell/NativeFile.h"

#include <string>

namespace tb {

void RadarColours::read(const std::filesystem::path& radarcolFile) {
    NativeFile file;
    if (const std::error_code error = file.open(radarcolFile, NativeFile::Mode::Read))
        throw FileError(fileErrorText(radarcolFile, "read", error));
    constexpr std::size_t kBytes = std::size_t(kEntriesRead) * 2;
    unsigned char bytes[kBytes];
    std::size_t done = 0;
    const std::error_code readError = file.readAt(0, bytes, kBytes, done);
    file.close();
    // Whatever whole colours were read are kept, even when the file ends early.
    const std::size_t words = done / 2;
    for (std::size_t i = 0; i < words; ++i)
        m_table[i] = readU16(bytes + 2 * i);
    if (readError)
        throw FileError(fileErrorText(radarcolFile, "read", readError));
    if (words < std::size_t(kEntriesRead))
        throw FileError(fileErrorText(radarcolFile, "read",
                                      "the file holds " + std::to_string(words) + " of the " +
                                          std::to_string(kEntriesRead) + " colours read from it"));
}

} // namespace tb
