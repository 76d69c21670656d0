#pragma once
// Strokes not yet committed, kept on disk so that nothing is lost while the server cannot be
// reached or when the editor is killed: one file per stroke in a folder of the shared map,
// written atomically before the stroke goes to the server and removed once the server holds
// it. A file is synced to the disk once its stroke has to wait (makeDurable()); until then
// it survives the editor's end, not the system's. Files are little-endian binary:
// "TBSTROKE", version, facet, id, mode, the cell edits and the item edits.
//
// One thread may add strokes while another makes them durable and removes them (an editor
// journals on its UI thread, its session worker commits): each call is whole for the other.

#include "share/Stroke.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tb {

class StrokeJournal {
public:
    // The journal of facet `facet` in `dir`, which is made when missing. Throws FileError.
    StrokeJournal(std::filesystem::path dir, int facet);

    // The strokes in the journal, oldest first. Throws FileError naming a file that cannot be
    // read, is damaged or belongs to another facet.
    std::vector<Stroke> read();
    // Writes `stroke` to the journal. Throws FileError naming the file.
    void add(const Stroke& stroke);
    // Makes the file of stroke `id` durable: on the disk, under its name. Throws FileError.
    void makeDurable(const StrokeId& id);
    // Drops stroke `id` (the server holds it, or refused it).
    void remove(const StrokeId& id);
    // Whether stroke `id` was added or read and not removed.
    bool holds(const StrokeId& id) const;
    // Strokes added or read and not removed.
    std::size_t size() const;
    const std::filesystem::path& folder() const { return m_dir; }

    // The journal folder of a shared map under `base`: named after the URI without its
    // password, and the facet.
    static std::filesystem::path folderFor(const std::filesystem::path& base,
                                           const std::string& uri, int facet);

    // The bytes of `stroke` in the journal's file format, and back (bounds-checked; nullopt
    // for bytes that are no stroke file).
    static std::vector<unsigned char> encode(const Stroke& stroke, int facet);
    static std::optional<Stroke> decode(const std::vector<unsigned char>& bytes, int facet);

private:
    // The stroke files of the folder by their sequence numbers, ascending.
    std::vector<std::pair<std::uint64_t, std::filesystem::path>> listFiles() const;

    std::filesystem::path m_dir;
    int m_facet;
    // Guards the two below; a pointer, so that the journal moves.
    std::unique_ptr<std::mutex> m_lock = std::make_unique<std::mutex>();
    std::map<StrokeId, std::filesystem::path> m_files;
    std::uint64_t m_next = 0;
};

} // namespace tb
