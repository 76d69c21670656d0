#pragma once
// The isometric painter's pictures (land tiles, stretched tiles, items in their hues,
// textures), kept by a key of what makes them, within a budget of memory. Pictures not
// used lately make room once a frame is drawn; a picture stays valid at least until then.

#include "render/IsoSprite.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace tbrender {

class IsoSpriteCache {
public:
    static constexpr std::size_t kBudgetBytes = std::size_t(256) << 20;

    struct Key {
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };

    explicit IsoSpriteCache(std::size_t budgetBytes = kBudgetBytes) : m_budget(budgetBytes) {}

    // The picture kept for `key`, or nullptr.
    const IsoSprite* find(const Key& key);
    // A picture handed out before is used in this frame again (found without find()).
    void use(const IsoSprite* sprite) const { sprite->lastUse = m_frame; }
    // Keeps `sprite` for `key` and gives it back.
    const IsoSprite* insert(const Key& key, IsoSprite sprite);
    // A frame is drawn: pictures not used in it may go, least lately used first, until the
    // budget holds them.
    void endFrame();
    // Drops every picture.
    void clear();

    std::size_t bytes() const { return m_bytes; }
    std::size_t count() const { return m_entries.size(); }
    std::size_t budget() const { return m_budget; }
    // Counts the times pictures were dropped: pointers handed out before a change of it
    // may dangle.
    std::uint64_t generation() const { return m_generation; }

private:
    struct Hash {
        std::size_t operator()(const Key& k) const {
            std::uint64_t h = k.a * 0x9E3779B97F4A7C15ull ^ (k.b + 0x632BE59BD9B4E019ull);
            h ^= h >> 29;
            h *= 0xBF58476D1CE4E5B9ull;
            return std::size_t(h ^ (h >> 32));
        }
    };
    struct Entry {
        std::unique_ptr<IsoSprite> sprite;
        std::size_t bytes = 0;
    };

    std::size_t m_budget;
    std::size_t m_bytes = 0;
    std::uint64_t m_frame = 1;
    std::uint64_t m_generation = 0;
    std::unordered_map<Key, Entry, Hash> m_entries;
};

} // namespace tbrender
