#include "core/StaticsSave.h"

#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/FileBytes.h"
#include "shell/FileReplace.h"
#include "shell/LittleEndian.h"
#include "shell/NativeFile.h"

#include <climits>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace tb {
namespace {

constexpr std::size_t kEntry = kStaticIndexEntrySize;
// Where a compaction puts an entry that pointed past the end of the old statics file: still
// past the end of the new one, so it stays damaged and shows nothing, as before.
constexpr std::int32_t kPastEveryFile = INT32_MAX;

bool pathExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

fs::path withBak(const fs::path& path) {
    fs::path bak = path;
    bak += ".bak";
    return bak;
}

void check(const std::error_code& error, const fs::path& path, const char* what) {
    if (error)
        throw FileError(fileErrorText(path, what, error));
}

// The changed blocks' records appended to the statics file at its end; returns where they
// begin. The bytes are on the disk when this returns.
std::uint64_t appendRecords(const fs::path& data, std::uint64_t loadedSize,
                            const std::vector<unsigned char>& bytes) {
    if (!pathExists(data)) {
        writeFileAtomically(data, bytes.data(), bytes.size());
        return 0;
    }
    NativeFile file;
    check(file.open(data, NativeFile::Mode::ReadWrite), data, "open");
    std::int64_t size = 0;
    check(file.size(size), data, "read");
    if (std::uint64_t(size) < loadedSize)
        throw FileError(fileErrorText(data, "write",
                                      "it is shorter than when it was loaded (another program "
                                      "changed it); load the map again"));
    if (std::uint64_t(size) + bytes.size() > std::uint64_t(INT32_MAX))
        throw FileError(
            fileErrorText(data, "write", "it would grow past 2 GB; compact the statics first"));
    check(file.writeAt(size, bytes.data(), bytes.size()), data, "write");
    check(file.flushToDisk(), data, "write");
    check(file.close(), data, "write");
    return std::uint64_t(size);
}

} // namespace

StaticsWrite writeStaticsChanges(const StaticsMap& statics, const StaticsFilePaths& files) {
    if (!statics.isModified())
        return {};
    std::vector<unsigned char> appended;
    for (const auto& [b, bytes] : statics.changedBlocks())
        appended.insert(appended.end(), bytes.begin(), bytes.end());
    const std::uint64_t at = appendRecords(files.data, statics.dataSize(), appended);

    std::vector<unsigned char> index = statics.indexBytes();
    std::uint64_t offset = at;
    for (const auto& [b, bytes] : statics.changedBlocks()) {
        unsigned char* entry = index.data() + b * kEntry;
        // The third word is kept as it was: clients give it meanings of their own.
        writeI32(entry, bytes.empty() ? -1 : std::int32_t(offset));
        writeU32(entry + 4, std::uint32_t(bytes.size()));
        offset += bytes.size();
    }
    writeFileAtomically(files.index, index.data(), index.size());
    const StaticsSaveReport report{appended.size(), index.size()};
    return {std::move(index), at, report};
}

StaticsSaveReport saveStatics(StaticsMap& statics, const StaticsFilePaths& files) {
    StaticsWrite written = writeStaticsChanges(statics, files);
    if (written.index.empty())
        return {};
    statics.markSaved(std::move(written.index), written.appendedAt);
    return written.report;
}

StaticsFilePaths compactionBackups(const StaticsFilePaths& files) {
    return {withBak(files.index), withBak(files.data)};
}

CompactReport compactStatics(const StaticsFilePaths& files, int widthBlocks, int heightBlocks,
                             Progress& progress) {
    recoverInterruptedCompaction(files);
    const std::vector<unsigned char> data = readFileBytes(files.data);
    std::vector<unsigned char> index = readFileBytes(files.index);
    const std::string stopped =
        "Compacting " + files.data.string() + " was stopped: both statics files are as they were.";
    const std::size_t entries = index.size() / kEntry;
    const std::size_t blocks =
        std::size_t(std::max(widthBlocks, 0)) * std::size_t(std::max(heightBlocks, 0));
    CompactReport report;
    report.bytesBefore = data.size();
    std::vector<unsigned char> compacted;
    compacted.reserve(data.size());
    // Every entry is kept, also those past the map's blocks; the records of each are copied
    // once, so a block that two entries shared gets two copies.
    for (std::size_t e = 0; e < entries; ++e) {
        if (e % 4096 == 0)
            reportStep(progress, "Compacting statics", std::int64_t(e), std::int64_t(entries),
                       stopped);
        unsigned char* entry = index.data() + e * kEntry;
        const std::int32_t offset = readI32(entry);
        const std::uint32_t length = readU32(entry + 4);
        if (offset == -1 || length == 0)
            continue;
        if (offset < 0)
            continue; // damaged, and stays so
        if (std::uint64_t(offset) + length > data.size()) {
            writeI32(entry, kPastEveryFile);
            continue;
        }
        writeI32(entry, std::int32_t(compacted.size()));
        compacted.insert(compacted.end(), data.begin() + offset, data.begin() + offset + length);
        if (e < blocks && length % kStaticRecordSize == 0)
            report.recordsKept += length / kStaticRecordSize;
    }
    report.bytesAfter = compacted.size();

    AtomicFileWriter newData(files.data);
    newData.append(compacted.data(), compacted.size());
    AtomicFileWriter newIndex(files.index);
    newIndex.append(index.data(), index.size());
    reportStep(progress, "Compacting statics", std::int64_t(entries), std::int64_t(entries),
               stopped);

    // The old pair stays reachable under the backup names until the new one is complete:
    // the statics file's backup first, so that a lone statics backup always means "the pair
    // in place is whole".
    const StaticsFilePaths backups = compactionBackups(files);
    std::error_code error;
    fs::create_hard_link(files.data, backups.data, error);
    check(error, backups.data, "create");
    fs::create_hard_link(files.index, backups.index, error);
    if (error) {
        fs::remove(backups.data, error);
        throw FileError(fileErrorText(backups.index, "create", error));
    }
    newData.commit();
    newIndex.commit();
    fs::remove(backups.index, error);
    check(error, backups.index, "delete");
    fs::remove(backups.data, error);
    check(error, backups.data, "delete");
    return report;
}

std::string recoverInterruptedCompaction(const StaticsFilePaths& files) {
    const StaticsFilePaths backups = compactionBackups(files);
    const bool dataBackup = pathExists(backups.data);
    const bool indexBackup = pathExists(backups.index);
    if (dataBackup && !indexBackup) {
        // Made before the index backup, or left after it was dropped: the pair is whole.
        std::error_code error;
        fs::remove(backups.data, error);
        check(error, backups.data, "delete");
        return {};
    }
    if (!indexBackup)
        return {};
    if (dataBackup)
        check(moveOver(backups.data, files.data), files.data, "restore");
    check(moveOver(backups.index, files.index), files.index, "restore");
    return "An interrupted compaction of " + files.data.string() +
           " was undone: the statics are as they were before it";
}

} // namespace tb
