#include "render/IsoSpriteCache.h"

#include <algorithm>
#include <vector>

namespace tbrender {

namespace {
// Per kept picture besides its pixels: the table's node and bookkeeping.
constexpr std::size_t kEntryOverhead = 64;
} // namespace

const IsoSprite* IsoSpriteCache::find(const Key& key) {
    const auto it = m_entries.find(key);
    if (it == m_entries.end())
        return nullptr;
    it->second.sprite->lastUse = m_frame;
    return it->second.sprite.get();
}

const IsoSprite* IsoSpriteCache::insert(const Key& key, IsoSprite sprite) {
    Entry& entry = m_entries[key];
    if (entry.sprite)
        m_bytes -= entry.bytes;
    entry.sprite = std::make_unique<IsoSprite>(std::move(sprite));
    entry.bytes = entry.sprite->bytes() + kEntryOverhead;
    entry.sprite->lastUse = m_frame;
    m_bytes += entry.bytes;
    return entry.sprite.get();
}

void IsoSpriteCache::endFrame() {
    const std::uint64_t frame = m_frame++;
    if (m_bytes <= m_budget)
        return;
    // Down to three quarters of the budget, so the next frames do not sort again at once.
    std::vector<std::pair<std::uint64_t, const Key*>> byUse;
    byUse.reserve(m_entries.size());
    for (const auto& [key, entry] : m_entries)
        if (entry.sprite->lastUse != frame)
            byUse.emplace_back(entry.sprite->lastUse, &key);
    std::sort(byUse.begin(), byUse.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    const std::size_t target = m_budget / 4 * 3;
    std::vector<Key> dropped;
    for (const auto& [use, key] : byUse) {
        if (m_bytes <= target)
            break;
        m_bytes -= m_entries.at(*key).bytes;
        dropped.push_back(*key);
    }
    for (const Key& key : dropped)
        m_entries.erase(key);
    if (!dropped.empty())
        ++m_generation;
}

void IsoSpriteCache::clear() {
    m_entries.clear();
    m_bytes = 0;
    ++m_generation;
}

} // namespace tbrender
