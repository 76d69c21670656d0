#include "core/StaticsSave.h"

#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/FileBytes.h"
#include "shell/FileReplace.h"
#include "shell/FolderSync.h"
#include "shell/LittleEndian.h"
#include "shell/NativeFile.h"

#include <zlib.h>

#include <climits>
#include <cstdio>
#include <optional>
#include <sstream>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace tb {
namespace {

constexpr std::size_t kEntry = kStaticIndexEntrySize;
// Where a damaged entry goes that points past the end of the statics file: past the end of
// every file a save or a compaction makes (they stay under 2 GB), so it stays damaged and
// shows nothing, as before, and no appended record is ever read through it.
constexpr std::int32_t kPastEveryFile = INT32_MAX;
constexpr const char* kJournalFirstLine = "Tolvane Brimholt statics compaction";

std::function<void(CompactionStep)> g_stepHook;

void stepMade(CompactionStep step) {
    if (g_stepHook)
        g_stepHook(step);
}

bool pathExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec)) && !ec;
}

fs::path withSuffix(const fs::path& path, const char* suffix) {
    fs::path out = path;
    out += suffix;
    return out;
}

std::string quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

void check(const std::error_code& error, const fs::path& path, const char* what) {
    if (error)
        throw FileError(fileErrorText(path, what, error));
}

// The records appended to the end of the statics file, durable once the constructor
// returns; taken back (cut off, or the file removed when this made it) unless committed.
class RecordAppend {
public:
    RecordAppend(const StaticsFilePaths& files, std::uint64_t loadedSize,
                 const std::vector<unsigned char>& bytes)
        : m_path(files.data) {
        const bool indexThere = pathExists(files.index);
        if (!pathExists(m_path)) {
            // Only a pair that is not there at all is made anew: an index without its
            // statics file points at records that are gone.
            if (indexThere)
                throw FileError(fileErrorText(m_path, "write",
                                              "it is missing, though " + quoted(files.index) +
                                                  " is there: the pair is not written"));
            if (loadedSize > 0)
                throw FileError(fileErrorText(m_path, "write",
                                              "it is gone since the statics were loaded: the "
                                              "pair is not written"));
            writeFileAtomically(m_path, bytes.data(), bytes.size());
            m_created = true;
            return;
        }
        if (!indexThere)
            throw FileError(fileErrorText(files.index, "write",
                                          "it is missing, though " + quoted(m_path) +
                                              " is there: the pair is not written"));
        check(m_file.open(m_path, NativeFile::Mode::ReadWrite), m_path, "open");
        std::int64_t size = 0;
        check(m_file.size(size), m_path, "read");
        if (std::uint64_t(size) < loadedSize)
            throw FileError(fileErrorText(m_path, "write",
                                          "it is shorter than when it was loaded (another "
                                          "program changed it); load the map again"));
        if (std::uint64_t(size) + bytes.size() > std::uint64_t(INT32_MAX))
            throw FileError(fileErrorText(m_path, "write",
                                          "it would grow past 2 GB; compact the statics first"));
        m_at = std::uint64_t(size);
        m_appended = true;
        std::error_code error = m_file.writeAt(size, bytes.data(), bytes.size());
        if (!error)
            error = m_file.flushToDisk();
        if (error) {
            takeBack();
            throw FileError(fileErrorText(m_path, "write", error));
        }
    }
    ~RecordAppend() {
        if (!m_committed)
            takeBack();
    }
    RecordAppend(const RecordAppend&) = delete;
    RecordAppend& operator=(const RecordAppend&) = delete;

    std::uint64_t at() const { return m_at; }
    // The index now points at the records: they stay. Closing may lose nothing written, as
    // the records were flushed.
    void commit() {
        m_committed = true;
        m_file.close();
    }

private:
    // Best effort on the way out of a failure, whose own error is the one reported.
    void takeBack() {
        m_committed = true;
        std::error_code ignored;
        if (m_created)
            fs::remove(m_path, ignored);
        if (m_appended && m_file.isOpen() && !m_file.truncate(std::int64_t(m_at)))
            m_file.flushToDisk();
        m_file.close();
    }

    fs::path m_path;
    NativeFile m_file;
    std::uint64_t m_at = 0;
    bool m_created = false;
    bool m_appended = false;
    bool m_committed = false;
};

// Moves aside every used entry whose records would run past `dataSize`: appended records
// would otherwise show through it. Returns the entries moved.
std::vector<std::size_t> moveDamagedEntriesAside(std::vector<unsigned char>& index,
                                                 std::uint64_t dataSize) {
    std::vector<std::size_t> moved;
    for (std::size_t e = 0; e < index.size() / kEntry; ++e) {
        unsigned char* entry = index.data() + e * kEntry;
        const std::int32_t offset = readI32(entry);
        const std::uint32_t length = readU32(entry + 4);
        if (offset < 0 || length == 0 || offset == kPastEveryFile ||
            std::uint64_t(offset) + length <= dataSize)
            continue;
        writeI32(entry, kPastEveryFile);
        moved.push_back(e);
    }
    return moved;
}

// A file's size and CRC-32, read in pieces; nothing when there is no such file.
struct Fingerprint {
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    friend bool operator==(const Fingerprint&, const Fingerprint&) = default;
};

Fingerprint fingerprintOf(const std::vector<unsigned char>& bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t piece = std::min<std::size_t>(bytes.size() - at, std::size_t(1) << 30);
        crc = crc32(crc, bytes.data() + at, uInt(piece));
        at += piece;
    }
    return {bytes.size(), std::uint32_t(crc)};
}

std::optional<Fingerprint> fingerprintOfFile(const fs::path& path) {
    if (!pathExists(path))
        return std::nullopt;
    NativeFile file;
    check(file.open(path, NativeFile::Mode::Read), path, "open");
    std::int64_t size = 0;
    check(file.size(size), path, "read");
    std::vector<unsigned char> buffer(std::size_t(1) << 20);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (std::int64_t at = 0; at < size;) {
        std::size_t got = 0;
        check(file.readAt(at, buffer.data(), buffer.size(), got), path, "read");
        if (got == 0)
            break; // shorter than it said: the size below will not match
        crc = crc32(crc, buffer.data(), uInt(got));
        at += std::int64_t(got);
    }
    return Fingerprint{std::uint64_t(size), std::uint32_t(crc)};
}

// The journal's content: what the old pair and the new one are.
struct Journal {
    Fingerprint oldIndex, oldData, newIndex, newData;
};

std::string journalText(const StaticsFilePaths& files, const Journal& j) {
    std::string text = std::string(kJournalFirstLine) + "\r\n";
    const auto line = [&](const char* which, const fs::path& file, const Fingerprint& f) {
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08X", unsigned(f.crc));
        text += std::string(which) + " " + file.filename().string() + " " + std::to_string(f.size) +
                " " + crc + "\r\n";
    };
    line("old", files.index, j.oldIndex);
    line("old", files.data, j.oldData);
    line("new", files.index, j.newIndex);
    line("new", files.data, j.newData);
    return text;
}

// The journal as written by journalText(); nothing when it cannot be read as one.
std::optional<Journal> parseJournal(const std::string& text) {
    std::istringstream in(text);
    std::string first;
    if (!std::getline(in, first) || first.substr(0, first.find('\r')) != kJournalFirstLine)
        return std::nullopt;
    Fingerprint* order[4];
    Journal journal;
    order[0] = &journal.oldIndex;
    order[1] = &journal.oldData;
    order[2] = &journal.newIndex;
    order[3] = &journal.newData;
    for (Fingerprint* f : order) {
        std::string which, name, size, crc;
        if (!(in >> which >> name >> size >> crc) ||
            size.find_first_not_of("0123456789") != std::string::npos || crc.size() != 8 ||
            crc.find_first_not_of("0123456789ABCDEF") != std::string::npos)
            return std::nullopt;
        f->size = std::stoull(size);
        f->crc = std::uint32_t(std::stoul(crc, nullptr, 16));
    }
    return journal;
}

// What is found beside a pair, and what recovering it would do.
struct Findings {
    enum class Kind {
        NoJournal,  // nothing to do, apart from .bak files to leave alone
        Whole,      // the journal's new pair, or its old one, is in place: drop the leftovers
        Undo,       // the old pair goes back from the backups
        Unexplained // a journal whose pair is in no state a compaction leaves: left alone
    };
    Kind kind = Kind::NoJournal;
    bool restoreIndex = false;          // Undo: from the index backup
    bool restoreData = false;           // Undo: from the data backup
    std::vector<fs::path> ourBackups;   // backups the journal proves to be the old pair
    std::vector<fs::path> strayBackups; // .bak files that are not: never touched
    std::string why;                    // Unexplained: what does not fit
};

Findings inspect(const StaticsFilePaths& files) {
    Findings found;
    const StaticsFilePaths backups = compactionBackups(files);
    const fs::path journalPath = compactionJournal(files);
    if (!pathExists(journalPath)) {
        for (const fs::path& bak : {backups.index, backups.data})
            if (pathExists(bak))
                found.strayBackups.push_back(bak);
        return found;
    }
    const std::vector<unsigned char> bytes = readFileBytes(journalPath);
    const std::optional<Journal> journal = parseJournal(std::string(bytes.begin(), bytes.end()));
    if (!journal) {
        found.kind = Findings::Kind::Unexplained;
        found.why = "its journal " + quoted(journalPath) + " cannot be read";
        return found;
    }
    const auto index = fingerprintOfFile(files.index);
    const auto data = fingerprintOfFile(files.data);
    const auto indexBak = fingerprintOfFile(backups.index);
    const auto dataBak = fingerprintOfFile(backups.data);
    const bool indexBakIsOld = indexBak == journal->oldIndex;
    const bool dataBakIsOld = dataBak == journal->oldData;
    for (const auto& [path, isOld] :
         {std::pair{backups.index, indexBakIsOld}, std::pair{backups.data, dataBakIsOld}}) {
        if (isOld)
            found.ourBackups.push_back(path);
        else if (pathExists(path))
            found.strayBackups.push_back(path);
    }
    const bool indexIsOld = index == journal->oldIndex;
    const bool dataIsOld = data == journal->oldData;
    if ((index == journal->newIndex && data == journal->newData) || (indexIsOld && dataIsOld)) {
        found.kind = Findings::Kind::Whole;
        return found;
    }
    // A file that is neither old nor new was written by something else since: putting the
    // old one back over it would lose that.
    std::vector<std::string> problems;
    if (!indexIsOld && index != journal->newIndex)
        problems.push_back(quoted(files.index) + " is neither the old file nor the new one");
    if (!dataIsOld && data != journal->newData)
        problems.push_back(quoted(files.data) + " is neither the old file nor the new one");
    if (!indexIsOld && !indexBakIsOld)
        problems.push_back("there is no whole backup " + quoted(backups.index));
    if (!dataIsOld && !dataBakIsOld)
        problems.push_back("there is no whole backup " + quoted(backups.data));
    if (!problems.empty()) {
        found.kind = Findings::Kind::Unexplained;
        for (std::size_t i = 0; i < problems.size(); ++i)
            found.why += (i ? ", " : "") + problems[i];
        return found;
    }
    found.kind = Findings::Kind::Undo;
    found.restoreIndex = !indexIsOld;
    found.restoreData = !dataIsOld;
    return found;
}

std::string strayBackupsNote(const StaticsFilePaths& files, const Findings& found) {
    if (found.strayBackups.empty())
        return {};
    std::string names;
    for (std::size_t i = 0; i < found.strayBackups.size(); ++i)
        names += (i ? " and " : "") + quoted(found.strayBackups[i]);
    return names + (found.strayBackups.size() == 1 ? " is" : " are") +
           " no backup of an interrupted compaction of " + quoted(files.data) +
           " (no journal of one names " + (found.strayBackups.size() == 1 ? "it" : "them") +
           "): left as " + (found.strayBackups.size() == 1 ? "it is" : "they are");
}

std::string joined(const std::string& a, const std::string& b) {
    return a.empty() ? b : b.empty() ? a : a + "; " + b;
}

std::string unexplainedNote(const StaticsFilePaths& files, const Findings& found) {
    return "an interrupted compaction of " + quoted(files.data) + " cannot be undone (" +
           found.why + "): the statics files, their backups and the journal " +
           quoted(compactionJournal(files)) + " are left as they are";
}

void removeFile(const fs::path& path) {
    std::error_code error;
    fs::remove(path, error);
    check(error, path, "delete");
}

// recoverInterruptedCompaction() on what inspect() found.
std::string recoverFrom(const StaticsFilePaths& files, const Findings& found) {
    const std::string stray = strayBackupsNote(files, found);
    switch (found.kind) {
    case Findings::Kind::NoJournal:
        return stray;
    case Findings::Kind::Unexplained:
        return joined(unexplainedNote(files, found), stray);
    case Findings::Kind::Whole:
    case Findings::Kind::Undo:
        break;
    }
    const StaticsFilePaths backups = compactionBackups(files);
    // Only the files that differ from the old pair are put back; the backups of the others
    // are the same file and go. The journal goes last, so that an interruption here is
    // recognised again.
    if (found.restoreData)
        check(moveOver(backups.data, files.data), files.data, "restore");
    if (found.restoreIndex)
        check(moveOver(backups.index, files.index), files.index, "restore");
    for (const fs::path& bak : found.ourBackups)
        if (pathExists(bak))
            removeFile(bak);
    removeFile(compactionJournal(files));
    if (found.kind == Findings::Kind::Whole)
        return stray;
    return joined("An interrupted compaction of " + files.data.string() +
                      " was undone: the statics are as they were before it",
                  stray);
}

} // namespace

StaticsWrite writeStaticsChanges(const StaticsMap& statics, const StaticsFilePaths& files) {
    if (!statics.isModified())
        return {};
    std::vector<unsigned char> appended;
    for (const auto& [b, bytes] : statics.changedBlocks())
        appended.insert(appended.end(), bytes.begin(), bytes.end());
    // The index must be replaceable before the statics file grows: its temporary file is
    // made first, which a read-only index or folder refuses.
    AtomicFileWriter newIndex(files.index);
    RecordAppend records(files, statics.dataSize(), appended);

    std::vector<unsigned char> index = statics.indexBytes();
    StaticsSaveReport report{appended.size(), index.size(), {}};
    report.entriesMovedAside = moveDamagedEntriesAside(index, records.at());
    std::uint64_t offset = records.at();
    for (const auto& [b, bytes] : statics.changedBlocks()) {
        unsigned char* entry = index.data() + b * kEntry;
        // The third word is kept as it was: clients give it meanings of their own.
        writeI32(entry, bytes.empty() ? -1 : std::int32_t(offset));
        writeU32(entry + 4, std::uint32_t(bytes.size()));
        offset += bytes.size();
    }
    newIndex.append(index.data(), index.size());
    newIndex.commit();
    records.commit();
    return {std::move(index), records.at(), std::move(report)};
}

StaticsSaveReport saveStatics(StaticsMap& statics, const StaticsFilePaths& files) {
    StaticsWrite written = writeStaticsChanges(statics, files);
    if (written.index.empty())
        return {};
    statics.markSaved(std::move(written.index), written.appendedAt);
    return written.report;
}

StaticsSaveReport writeNewStatics(const StaticsFilePaths& files,
                                  const std::vector<unsigned char>& records,
                                  const std::vector<BlockRecords>& blocks) {
    AtomicFileWriter newIndex(files.index);
    // What the statics file held before is never read again: any length of it is taken.
    RecordAppend appended(files, 0, records);
    std::vector<unsigned char> index(blocks.size() * kEntry, 0);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        unsigned char* entry = index.data() + b * kEntry;
        const BlockRecords& block = blocks[b];
        writeI32(entry, block.length == 0 ? -1 : std::int32_t(appended.at() + block.offset));
        writeU32(entry + 4, block.length);
    }
    newIndex.append(index.data(), index.size());
    newIndex.commit();
    appended.commit();
    return {records.size(), index.size(), {}};
}

std::string movedEntriesWarning(const StaticsFilePaths& files, const StaticsSaveReport& report,
                                int heightBlocks) {
    const std::vector<std::size_t>& moved = report.entriesMovedAside;
    if (moved.empty() || heightBlocks <= 0)
        return {};
    const auto h = std::size_t(heightBlocks);
    std::string blocks;
    constexpr std::size_t kNamed = 5;
    for (std::size_t i = 0; i < moved.size() && i < kNamed; ++i)
        blocks += std::string(i ? ", " : "") + "(" + std::to_string(moved[i] / h) + ", " +
                  std::to_string(moved[i] % h) + ")";
    if (moved.size() > kNamed)
        blocks += " and " + std::to_string(moved.size() - kNamed) + " more";
    return "damaged statics index " + quoted(files.index) + ": the entr" +
           (moved.size() == 1 ? "y of block " : "ies of blocks ") + blocks +
           " pointed at or past the end of " + quoted(files.data) +
           ", where the new records went; " + (moved.size() == 1 ? "it was" : "they were") +
           " moved out of their way and still show no items";
}

StaticsFilePaths compactionBackups(const StaticsFilePaths& files) {
    return {withSuffix(files.index, ".bak"), withSuffix(files.data, ".bak")};
}

fs::path compactionJournal(const StaticsFilePaths& files) {
    return withSuffix(files.data, ".journal");
}

CompactReport compactStatics(const StaticsFilePaths& files, int widthBlocks, int heightBlocks,
                             Progress& progress) {
    const StaticsFilePaths backups = compactionBackups(files);
    const fs::path journalPath = compactionJournal(files);
    const Findings earlier = inspect(files);
    if (earlier.kind == Findings::Kind::Unexplained)
        throw FileError("Cannot compact " + quoted(files.data) + ": " +
                        unexplainedNote(files, earlier));
    recoverFrom(files, earlier);
    // Backups and journals are made only by a compaction; others of those names are not ours
    // to replace.
    for (const fs::path& taken : {backups.index, backups.data, journalPath})
        if (pathExists(taken))
            throw FileError(fileErrorText(taken, "create",
                                          "a file of that name is there, and it is no backup "
                                          "of this program's; move it away to compact"));

    const std::vector<unsigned char> data = readFileBytes(files.data);
    std::vector<unsigned char> index = readFileBytes(files.index);
    const Journal journal0{fingerprintOf(index), fingerprintOf(data), {}, {}};
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

    Journal journal = journal0;
    journal.newIndex = fingerprintOf(index);
    journal.newData = fingerprintOf(compacted);
    const fs::path folder = files.data.has_parent_path() ? files.data.parent_path() : ".";
    writeFileAtomically(journalPath, journalText(files, journal));
    try {
        // The journal's name reaches the disk before any rename that it explains.
        check(syncFolder(folder), journalPath, "write");
        stepMade(CompactionStep::JournalWritten);
        // The old pair stays reachable under the backup names until the new one is whole.
        std::error_code error;
        fs::create_hard_link(files.data, backups.data, error);
        check(error, backups.data, "create");
        stepMade(CompactionStep::DataBackupMade);
        fs::create_hard_link(files.index, backups.index, error);
        check(error, backups.index, "create");
        stepMade(CompactionStep::IndexBackupMade);
        newData.commit();
        stepMade(CompactionStep::DataReplaced);
        newIndex.commit();
        stepMade(CompactionStep::IndexReplaced);
    } catch (const std::exception&) {
        // The journal says what to put back; should that fail too, it stays for the next
        // open of the pair.
        try {
            recoverInterruptedCompaction(files);
        } catch (const std::exception&) {
        }
        throw;
    }
    removeFile(backups.index);
    stepMade(CompactionStep::IndexBackupDropped);
    removeFile(backups.data);
    stepMade(CompactionStep::DataBackupDropped);
    removeFile(journalPath);
    stepMade(CompactionStep::JournalDropped);
    return report;
}

CompactionCheck checkCompaction(const StaticsFilePaths& files) {
    const Findings found = inspect(files);
    CompactionCheck result{files, strayBackupsNote(files, found)};
    if (found.kind == Findings::Kind::Undo) {
        const StaticsFilePaths backups = compactionBackups(files);
        if (found.restoreIndex)
            result.pair.index = backups.index;
        if (found.restoreData)
            result.pair.data = backups.data;
        result.note =
            joined("an interrupted compaction of " + quoted(files.data) +
                       " is not undone yet: the statics are read from the pair as it "
                       "was before it (" +
                       quoted(result.pair.index) + " and " + quoted(result.pair.data) + ")",
                   result.note);
    } else if (found.kind == Findings::Kind::Unexplained) {
        result.note = joined(unexplainedNote(files, found), result.note);
    }
    return result;
}

std::string recoverInterruptedCompaction(const StaticsFilePaths& files) {
    return recoverFrom(files, inspect(files));
}

void setCompactionStepHookForTesting(std::function<void(CompactionStep)> hook) {
    g_stepHook = std::move(hook);
}

} // namespace tb
