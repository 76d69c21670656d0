#include "render/IsoPainter.h"

#include "render/IsoSpriteMaker.h"
#include "render/PixelSurface.h"

#include "shell/LittleEndian.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace tbrender {
namespace {

using tb::iso::CellBox;
using tb::iso::CellPos;
using tb::iso::kHalfTile;
using tb::iso::ScreenPoint;
using tb::iso::ScreenRect;

constexpr int kIds = 0x10000;
constexpr int kBlockSide = 8;
// Pixels added around a block's rectangle scaled from 100%: sizes and altitude offsets are
// rounded at each scale.
constexpr int kScaledMargin = 3;
constexpr ScreenRect kEverywhere{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
// The pixels of a band of the target drawn at a time: half the second-level cache of the
// processors we run on.
constexpr std::size_t kBandBytes = std::size_t(256) << 10;
// Blocks whose drawables are kept worked out: a 1920 x 1080 view at 25% shows some 700.
constexpr std::size_t kMaxKeptBlocks = 2048;

// Marks a table entry looked at and found without a picture.
const IsoSprite kNoSprite;

enum class Kind : std::uint64_t { Land = 1, Item = 2, Stretched = 4 };

std::uint64_t kindBits(Kind kind) {
    return std::uint64_t(kind);
}

ScreenRect toScreenRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect toQRect(const ScreenRect& r) {
    return r.empty() ? QRect() : QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

ScreenRect moved(ScreenRect r, ScreenPoint by) {
    return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

int ceilDiv(int a, int b) {
    return -tb::iso::floorDiv(-a, b);
}

std::int16_t toInt16(int v) {
    return std::int16_t(std::clamp(v, -32767, 32767));
}

// A light 0.5..1 in 64 steps: stretched tiles whose lights round alike share a picture.
std::uint64_t lightStep(double light) {
    return std::uint64_t(std::clamp(std::lround((light - 0.5) * 126.0), 0L, 63L));
}

// The width and height an item picture's entry states, when the entry lies inside the
// art and states sides the decoder takes. Item art ids go past 0xFFFF, so the entry is read
// here rather than through the land tiles' 16-bit lookup.
std::optional<std::pair<int, int>> statedItemSize(const tb::ArtFiles& art, std::size_t itemId) {
    const std::size_t at = (0x4000 + itemId) * 12;
    if (art.artIndex.size() < 12 || at > art.artIndex.size() - 12)
        return std::nullopt;
    const unsigned char* entry = art.artIndex.data() + at;
    const std::int32_t offset = tb::readI32(entry);
    const std::uint32_t length = tb::readU32(entry + 4);
    if (offset < 0 || length < 8 || std::uint64_t(offset) + length > art.artData.size())
        return std::nullopt;
    const unsigned char* p = art.artData.data() + offset;
    const int width = tb::readU16(p + 4), height = tb::readU16(p + 6);
    if (width < 1 || height < 1 || width > tb::kItemArtMaxSide || height > tb::kItemArtMaxSide)
        return std::nullopt;
    return std::pair{width, height};
}

} // namespace

IsoPainter::IsoPainter(std::size_t cacheBudgetBytes) : m_cache(cacheBudgetBytes) {}

void IsoPainter::setMap(const tb::MapImage* map) {
    m_map = map;
    m_blocks.clear();
    m_blockItems.clear();
}

void IsoPainter::setStatics(const tb::StaticsMap* statics) {
    m_statics = statics;
    m_blocks.clear();
    m_blockItems.clear();
}

void IsoPainter::setMaxZ(int maxZ) {
    if (maxZ != m_maxZ)
        m_blockItems.clear();
    m_maxZ = maxZ;
}

void IsoPainter::setCellClip(std::optional<CellBox> cells) {
    if (cells != m_clip)
        m_blockItems.clear();
    m_clip = cells;
}

void IsoPainter::setArt(const tb::ArtFiles* art) {
    m_art = art;
    dropCaches();
}

void IsoPainter::setTileData(const tb::TileData* tiledata) {
    m_tiledata = tiledata;
    dropCaches();
}

void IsoPainter::setHues(const tb::HueFile* hues) {
    m_hues = hues;
    dropCaches();
}

void IsoPainter::dropCaches() {
    m_cache.clear();
    m_textures.fill(TextureSlot{});
    m_blocks.clear();
    m_blockItems.clear();
    m_largestItemWidth = -1;
    m_tablesStale = true; // made anew when next used: setting all the data costs one reset
}

void IsoPainter::ensureTables() {
    if (m_tablesStale) {
        m_tablesStale = false;
        m_landInfo.assign(kIds, LandInfo{});
        m_itemSizes.assign(kIds, ItemSize{});
        m_landSprites.assign(kIds, nullptr);
        m_itemSprites.assign(kIds, nullptr);
        m_cacheGeneration = m_cache.generation();
    } else if (m_cache.generation() != m_cacheGeneration) {
        // Pictures were dropped: the pointers to them go.
        m_cacheGeneration = m_cache.generation();
        m_landSprites.assign(kIds, nullptr);
        m_itemSprites.assign(kIds, nullptr);
        m_blockItems.clear();
    }
}

void IsoPainter::setZoom(double zoom) {
    setHalfTile(tb::iso::halfTileForZoom(zoom));
}

void IsoPainter::setHalfTile(int half) {
    half = std::clamp(half, tb::iso::kMinHalfTile, tb::iso::kMaxHalfTile);
    if (half == m_half)
        return;
    m_half = half;
    m_blockItems.clear();
    std::fill(m_landSprites.begin(), m_landSprites.end(), nullptr);
    std::fill(m_itemSprites.begin(), m_itemSprites.end(), nullptr);
}

void IsoPainter::setGrid(bool grid) {
    if (grid == m_grid)
        return;
    m_grid = grid;
    m_blockItems.clear();
    std::fill(m_landSprites.begin(), m_landSprites.end(), nullptr);
}

const IsoPainter::LandInfo& IsoPainter::landInfo(std::uint16_t tile) {
    LandInfo& info = m_landInfo[tile];
    if (info.known)
        return info;
    info.known = true;
    if (!m_art)
        return info;
    // The same tests as the decoders make, without decoding.
    if (tile != 7 && tile != 8) {
        const auto entry = tb::readArtIndexEntry(m_art->artIndex, tile);
        info.hasArt =
            entry && entry->offset >= 0 && (entry->length == 2048 || entry->length == 2024);
    }
    const std::uint16_t texture = m_tiledata ? m_tiledata->land(tile).textureId : 0;
    if (texture != 0) {
        const auto entry = tb::readArtIndexEntry(m_art->textureIndex, texture);
        if (entry && (entry->length == 8192 || entry->length == 32768))
            info.texture = texture;
    }
    return info;
}

IsoPainter::ItemSize IsoPainter::itemSize(std::uint16_t id) {
    ItemSize& size = m_itemSizes[id];
    if (size.width >= 0)
        return size;
    // From the entry's header, without decoding it: a picture that turns out damaged when
    // it is decoded corrects this (resolve).
    if (const auto stated = m_art ? statedItemSize(*m_art, id) : std::nullopt) {
        size = {std::int16_t(stated->first), std::int16_t(stated->second)};
        return size;
    }
    const tb::ItemImage placeholder = tb::itemPlaceholderImage();
    size = {std::int16_t(placeholder.width), std::int16_t(placeholder.height)};
    return size;
}

tb::iso::Reach IsoPainter::worstReach() const {
    const int half = m_half;
    const int rise = std::max(0, tb::iso::scaledLength(m_largestItemHeight, half) - 2 * half);
    const int side = std::max(0, tb::iso::scaledLength(m_largestItemWidth, half) / 2 + 1 - half);
    return {tb::iso::altitudePixels(127, half) + rise + kScaledMargin,
            -tb::iso::altitudePixels(-128, half) + kScaledMargin, side + kScaledMargin};
}

const IsoPainter::BlockBounds& IsoPainter::blockBounds(int bx, int by) {
    if (m_blocks.empty())
        m_blocks.resize(std::size_t(blockColumns()));
    std::unique_ptr<BlockBounds[]>& column = m_blocks[std::size_t(bx)];
    if (!column)
        column = std::make_unique<BlockBounds[]>(std::size_t(blockRows()));
    BlockBounds& bounds = column[std::size_t(by)];
    if (bounds.known())
        return bounds;
    // Worked out at 100% over everything the block may draw, whatever is hidden or clipped
    // now, so a change of those settings keeps it.
    const std::int32_t x0 = bx * kBlockSide, y0 = by * kBlockSide;
    const ScreenPoint base = tb::iso::cellPoint(x0, y0, 0);
    const std::int32_t lastX = m_map->width() - 1, lastY = m_map->height() - 1;
    const auto altitude = [&](std::int32_t x, std::int32_t y) {
        return int(m_map->cellUnchecked(std::min(x, lastX), std::min(y, lastY)).altitude);
    };
    ScreenRect rect;
    for (std::int32_t y = y0; y < std::min(y0 + kBlockSide, lastY + 1); ++y) {
        for (std::int32_t x = x0; x < std::min(x0 + kBlockSide, lastX + 1); ++x) {
            const int corners[4] = {altitude(x, y), altitude(x + 1, y), altitude(x, y + 1),
                                    altitude(x + 1, y + 1)};
            const int high = *std::max_element(corners, corners + 4);
            const int low = *std::min_element(corners, corners + 4);
            const ScreenPoint p = tb::iso::cellPoint(x, y, 0);
            rect = rect.united({p.x - base.x, p.y - base.y - tb::iso::kAltitudeStep * high,
                                p.x - base.x + tb::iso::kTileSide,
                                p.y - base.y + tb::iso::kTileSide - tb::iso::kAltitudeStep * low});
        }
    }
    if (m_statics && bx < m_statics->widthBlocks() && by < m_statics->heightBlocks()) {
        const std::span<const unsigned char> records =
            m_statics->recordBytes(m_statics->blockNumber(bx, by));
        for (std::size_t at = 0; at + tb::kStaticRecordSize <= records.size();
             at += tb::kStaticRecordSize) {
            const tb::StaticRecord r = tb::readStaticRecord(records.data() + at);
            if (!r.understood())
                continue;
            const ItemSize size = itemSize(r.id);
            const ScreenPoint p = tb::iso::cellPoint(x0 + r.x, y0 + r.y, r.z);
            rect = rect.united(
                moved(tb::iso::itemRect(p, size.width, size.height), {-base.x, -base.y}));
        }
    }
    bounds = {toInt16(rect.left), toInt16(rect.top), toInt16(rect.right), toInt16(rect.bottom)};
    return bounds;
}

ScreenRect IsoPainter::scaledBlockRect(int bx, int by, const BlockBounds& b) const {
    const ScreenPoint base = tb::iso::cellPoint(bx * kBlockSide, by * kBlockSide, 0, m_half);
    return {base.x + tb::iso::floorDiv(b.left * m_half, kHalfTile) - kScaledMargin,
            base.y + tb::iso::floorDiv(b.top * m_half, kHalfTile) - kScaledMargin,
            base.x + ceilDiv(b.right * m_half, kHalfTile) + kScaledMargin,
            base.y + ceilDiv(b.bottom * m_half, kHalfTile) + kScaledMargin};
}

void IsoPainter::buildBlock(int bx, int by, const std::optional<CellBox>& clip,
                            std::vector<BlockItem>& out) {
    const int half = m_half;
    const std::int32_t x0 = bx * kBlockSide, y0 = by * kBlockSide;
    const std::int32_t lastX = m_map->width() - 1, lastY = m_map->height() - 1;
    // The altitudes of the block and of the cells around it that its tiles' neighbourhoods
    // reach: one read per cell instead of sixteen.
    constexpr int kAround = kBlockSide + 3;
    std::int8_t altitudes[kAround][kAround];
    for (int r = 0; r < kAround; ++r)
        for (int c = 0; c < kAround; ++c)
            altitudes[r][c] = m_map
                                  ->cellUnchecked(std::clamp(x0 - 1 + c, 0, lastX),
                                                  std::clamp(y0 - 1 + r, 0, lastY))
                                  .altitude;
    for (int cy = 0; cy < kBlockSide; ++cy) {
        for (int cx = 0; cx < kBlockSide; ++cx) {
            const std::int32_t x = x0 + cx, y = y0 + cy;
            if (x > lastX || y > lastY || (clip && !clip->contains(x, y)))
                continue;
            const int z = altitudes[cy + 1][cx + 1];
            if (z > m_maxZ)
                continue;
            const std::uint16_t tile = m_map->cellUnchecked(x, y).tileId;
            const LandInfo& info = landInfo(tile);
            tb::iso::Neighbourhood around;
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                    around.z[std::size_t(r)][std::size_t(c)] = altitudes[cy + r][cx + c];
            BlockItem item;
            IsoDrawable& d = item.d;
            d.cell = {x, y};
            d.corners = tb::iso::cornersOf(around);
            d.stretched = info.texture != 0 && tb::iso::differsAround(around);
            int priority;
            if (d.stretched) {
                const ScreenPoint p = tb::iso::cellPoint(x, y, 0, half);
                d.rect = moved(tb::iso::quadBounds(tb::iso::stretchedQuad(d.corners, half)), p);
                const tb::iso::CornerLights lights = tb::iso::cornerLights(around);
                item.lights = {
                    std::uint8_t(lightStep(lights.top)), std::uint8_t(lightStep(lights.right)),
                    std::uint8_t(lightStep(lights.bottom)), std::uint8_t(lightStep(lights.left))};
                item.source = info.texture;
                priority = tb::iso::stretchedLandPriority(d.corners);
            } else {
                const ScreenPoint p = tb::iso::cellPoint(x, y, z, half);
                d.rect = {p.x, p.y, p.x + 2 * half, p.y + 2 * half};
                item.source = tile;
                item.resolved = !info.hasArt; // nothing to draw, only a shape to pick
                priority = tb::iso::flatLandPriority(z);
            }
            item.key = tb::iso::DrawKey{x, y, priority, 0}.packed();
            out.push_back(item);
        }
    }
    if (!m_statics || bx >= m_statics->widthBlocks() || by >= m_statics->heightBlocks())
        return;
    const std::size_t block = m_statics->blockNumber(bx, by);
    const std::span<const unsigned char> records = m_statics->recordBytes(block);
    const std::size_t count = records.size() / tb::kStaticRecordSize;
    for (std::size_t i = 0; i < count; ++i) {
        const tb::StaticRecord r = tb::readStaticRecord(records.data() + i * tb::kStaticRecordSize);
        if (!r.understood() || r.z > m_maxZ)
            continue;
        const std::int32_t x = x0 + r.x, y = y0 + r.y;
        if (x > lastX || y > lastY || (clip && !clip->contains(x, y)))
            continue;
        const ItemSize size = itemSize(r.id);
        BlockItem item;
        IsoDrawable& d = item.d;
        d.rect =
            tb::iso::itemRect(tb::iso::cellPoint(x, y, r.z, half), size.width, size.height, half);
        d.cell = {x, y};
        d.isItem = true;
        d.block = block;
        d.index = i;
        d.record = r;
        const tb::ItemData* data = m_tiledata ? &m_tiledata->item(r.id) : nullptr;
        const int priority =
            tb::iso::itemPriority(r.z, data ? data->flags : 0, data ? data->height : 0);
        const int order = int(std::min<std::size_t>(i + 1, 0xFFFF));
        item.key = tb::iso::DrawKey{x, y, priority, order}.packed();
        out.push_back(item);
    }
}

std::vector<IsoPainter::BlockItem>& IsoPainter::blockItems(int bx, int by) {
    const auto key = std::uint32_t(bx) << 16 | std::uint32_t(by);
    auto [it, fresh] = m_blockItems.try_emplace(key);
    if (fresh)
        buildBlock(bx, by, m_clip, it->second);
    return it->second;
}

void IsoPainter::resolve(BlockItem& item) {
    item.resolved = true;
    IsoDrawable& d = item.d;
    if (!d.isItem) {
        d.sprite = d.stretched ? stretchedSprite(item.source, d.corners, item.lights)
                               : landSprite(item.source);
        return;
    }
    d.sprite = itemSprite(d.record.id, d.record.hue);
    if (d.sprite->width != d.rect.right - d.rect.left ||
        d.sprite->height != d.rect.bottom - d.rect.top) {
        // Damaged art, drawn as the placeholder: its size from now on, and every block's
        // reach worked out again with it.
        m_itemSizes[d.record.id] = {std::int16_t(d.sprite->width), std::int16_t(d.sprite->height)};
        m_blocks.clear();
        d.rect = tb::iso::itemRect(tb::iso::cellPoint(d.cell.x, d.cell.y, d.record.z, m_half),
                                   d.sprite->width, d.sprite->height, m_half);
    }
}

void IsoPainter::findLargestItem() {
    if (m_largestItemWidth >= 0)
        return;
    // The largest item picture the art holds bounds how far an item reaches from its
    // cell; a damaged entry is drawn as the placeholder.
    const tb::ItemImage placeholder = tb::itemPlaceholderImage();
    m_largestItemWidth = placeholder.width;
    m_largestItemHeight = placeholder.height;
    if (!m_art)
        return;
    const std::size_t items = std::min<std::size_t>(m_art->artIndex.size() / 12, 0x14000);
    for (std::size_t id = 0; id + 0x4000 < items; ++id) {
        if (const auto stated = statedItemSize(*m_art, id)) {
            m_largestItemWidth = std::max(m_largestItemWidth, stated->first);
            m_largestItemHeight = std::max(m_largestItemHeight, stated->second);
        }
    }
}

void IsoPainter::collect(const ScreenRect& rect) {
    m_order.clear();
    if (!ready() || rect.empty())
        return;
    ensureTables();
    findLargestItem();
    if (m_blockItems.size() > kMaxKeptBlocks)
        m_blockItems.clear();
    tb::iso::forEachSquareReaching(
        rect, worstReach(), kBlockSide, blockColumns(), blockRows(), m_half, [&](int bx, int by) {
            if (m_clip && (m_clip->x2 < bx * kBlockSide || m_clip->x1 >= (bx + 1) * kBlockSide ||
                           m_clip->y2 < by * kBlockSide || m_clip->y1 >= (by + 1) * kBlockSide))
                return;
            if (!scaledBlockRect(bx, by, blockBounds(bx, by)).intersects(rect))
                return;
            for (BlockItem& item : blockItems(bx, by)) {
                if (!item.d.rect.intersects(rect))
                    continue;
                if (!item.resolved)
                    resolve(item);
                else if (item.d.sprite)
                    m_cache.use(item.d.sprite); // drawn again: not to be dropped
                m_order.emplace_back(item.key, &item.d);
            }
        });
    std::sort(m_order.begin(), m_order.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
}

const IsoSprite* IsoPainter::landSprite(std::uint16_t tile) {
    const IsoSprite*& slot = m_landSprites[tile];
    if (slot) {
        if (slot == &kNoSprite)
            return nullptr;
        m_cache.use(slot);
        return slot;
    }
    const IsoSpriteCache::Key key{kindBits(Kind::Land) | std::uint64_t(tile) << 8 |
                                      std::uint64_t(m_half) << 24 | std::uint64_t(m_grid) << 32,
                                  0};
    const IsoSprite* sprite = m_cache.find(key);
    if (!sprite && m_art && tb::makeLandDiamondImage(*m_art, tile, m_work))
        sprite = m_cache.insert(key, makeLandTileSprite(m_work, m_half, m_grid));
    slot = sprite ? sprite : &kNoSprite;
    return sprite;
}

const tb::Image15* IsoPainter::texture(std::uint16_t id) {
    TextureSlot& slot = m_textures[id % m_textures.size()];
    if (slot.id != id) {
        slot.id = id;
        slot.present = m_art && tb::makeTextureImage(*m_art, id, slot.image);
    }
    return slot.present ? &slot.image : nullptr;
}

const IsoSprite* IsoPainter::stretchedSprite(std::uint16_t texture, const tb::iso::Corners& corners,
                                             const std::array<std::uint8_t, 4>& lights) {
    // The corners' offsets from the top corner at this scale, and the lights in steps.
    const int top = tb::iso::altitudePixels(corners.top, m_half);
    const auto offset = [&](int z) {
        return std::uint64_t((tb::iso::altitudePixels(z, m_half) - top + 4096) & 0x1FFF);
    };
    const IsoSpriteCache::Key key{
        kindBits(Kind::Stretched) | std::uint64_t(texture) << 8 | std::uint64_t(m_half) << 24 |
            std::uint64_t(m_grid) << 32 | std::uint64_t(lights[0]) << 33 |
            std::uint64_t(lights[1]) << 39 | std::uint64_t(lights[2]) << 45 |
            std::uint64_t(lights[3]) << 51,
        offset(corners.right) | offset(corners.bottom) << 13 | offset(corners.left) << 26};
    if (const IsoSprite* sprite = m_cache.find(key))
        return sprite;
    const tb::Image15* texels = this->texture(texture);
    if (!texels)
        return nullptr;
    // Made for the quad raised to altitude 0 of its top corner, and drawn from there: tiles
    // of one shape and light share a picture whatever their altitude.
    tb::iso::Quad quad = tb::iso::stretchedQuad(corners, m_half);
    for (ScreenPoint* p : {&quad.top, &quad.right, &quad.bottom, &quad.left})
        p->y += top;
    const auto light = [](std::uint8_t step) { return 0.5 + double(step) / 126.0; };
    const tb::iso::CornerLights keyed{light(lights[0]), light(lights[1]), light(lights[2]),
                                      light(lights[3])};
    IsoSprite sprite = makeStretchedTileSprite(*texels, quad, keyed, m_grid);
    sprite.offset.ry() -= top;
    return m_cache.insert(key, std::move(sprite));
}

const IsoSprite* IsoPainter::itemSprite(std::uint16_t id, std::uint16_t hue) {
    const tb::HueEntry* entry = m_hues && hue != 0 ? m_hues->entry(hue) : nullptr;
    const IsoSprite** slot = entry ? nullptr : &m_itemSprites[id];
    if (slot && *slot) {
        m_cache.use(*slot);
        return *slot;
    }
    const IsoSpriteCache::Key key{kindBits(Kind::Item) | std::uint64_t(id) << 8 |
                                      std::uint64_t(entry ? hue : 0) << 24 |
                                      std::uint64_t(m_half) << 40,
                                  0};
    const IsoSprite* sprite = m_cache.find(key);
    if (!sprite) {
        const tb::ItemImage art = m_art ? tb::itemArtImage(*m_art, id) : tb::itemPlaceholderImage();
        const std::uint64_t flags = m_tiledata ? m_tiledata->item(id).flags : 0;
        sprite =
            m_cache.insert(key, makeItemSprite(art, entry, tb::huesOnlyGrey(flags, hue),
                                               (flags & tb::tileflag::Translucent) != 0, m_half));
    }
    if (slot)
        *slot = sprite;
    return sprite;
}

void IsoPainter::draw(QImage& target, const QRect& targetRect, QPoint sceneOrigin) {
    if (target.format() != QImage::Format_RGB32 &&
        target.format() != QImage::Format_ARGB32_Premultiplied)
        target.convertTo(QImage::Format_ARGB32_Premultiplied);
    const QRect clip = targetRect.intersected(target.rect());
    if (clip.isEmpty())
        return;
    const PixelSurface surface = PixelSurface::of(target);
    collect(toScreenRect(clip.translated(sceneOrigin)));
    // What is drawn, in order, where it lands on the target.
    m_blits.clear();
    for (const auto& [key, d] : m_order)
        if (d->sprite)
            m_blits.push_back({d->sprite, d->rect.left - sceneOrigin.x(),
                               d->rect.top - sceneOrigin.y(), d->rect.bottom - sceneOrigin.y()});
    // Band by band of rows, each small enough to stay in the processor's cache while the
    // background, the land and the items over it are written: drawn whole, the frame
    // would go out to memory and back with each layer.
    const int bandRows =
        std::clamp(int(kBandBytes / (std::size_t(clip.width()) * sizeof(QRgb))), 16, 256);
    const QRgb background = 0xFF000000u | m_background;
    const QRgb four[4] = {background, background, background, background};
    for (int bandTop = clip.top(); bandTop <= clip.bottom(); bandTop += bandRows) {
        const QRect band(clip.left(), bandTop, clip.width(),
                         std::min(bandRows, clip.bottom() + 1 - bandTop));
        // The background, four pixels a store: written, never read.
        for (int y = band.top(); y <= band.bottom(); ++y) {
            QRgb* line = surface.bits + qsizetype(y) * surface.stride + band.left();
            int x = 0;
            for (; x + 4 <= band.width(); x += 4)
                std::memcpy(line + x, four, sizeof four);
            for (; x < band.width(); ++x)
                line[x] = background;
        }
        const int bandEnd = band.bottom() + 1;
        for (const Blit& b : m_blits)
            if (b.top < bandEnd && b.bottom > bandTop)
                drawSprite(surface, *b.sprite, b.left, b.top, band);
    }
    if (ready() && (!m_marked.empty() || m_selection))
        drawOverlays(target, clip, sceneOrigin);
    m_cache.endFrame();
}

const std::vector<IsoDrawable>& IsoPainter::drawList(const QRect& sceneRect) {
    collect(toScreenRect(sceneRect));
    m_sorted.clear();
    for (const auto& [key, d] : m_order)
        m_sorted.push_back(*d);
    m_cache.endFrame();
    return m_sorted;
}

IsoDrawable IsoPainter::landShape(std::int32_t x, std::int32_t y) {
    const tb::iso::Neighbourhood around = tb::iso::neighbourhoodAt(*m_map, x, y);
    IsoDrawable d;
    d.cell = {x, y};
    d.corners = tb::iso::cornersOf(around);
    d.stretched =
        landInfo(m_map->cellUnchecked(x, y).tileId).texture != 0 && tb::iso::differsAround(around);
    return d;
}

bool IsoPainter::landHolds(const IsoDrawable& land, ScreenPoint p) const {
    if (land.stretched) {
        const ScreenPoint at = tb::iso::cellPoint(land.cell.x, land.cell.y, 0, m_half);
        return tb::iso::quadContains(tb::iso::stretchedQuad(land.corners, m_half),
                                     {p.x - at.x, p.y - at.y});
    }
    const ScreenPoint at = tb::iso::cellPoint(land.cell.x, land.cell.y, land.corners.top, m_half);
    return tb::iso::diamondContains({p.x - at.x, p.y - at.y}, m_half);
}

std::optional<IsoPick> IsoPainter::pick(QPoint scenePoint) {
    const ScreenPoint p{scenePoint.x(), scenePoint.y()};
    collect({p.x, p.y, p.x + 1, p.y + 1});
    std::optional<IsoPick> picked;
    for (auto it = m_order.rbegin(); it != m_order.rend() && !picked; ++it) {
        const IsoDrawable& d = *it->second;
        if (d.isItem) {
            if (d.sprite && d.sprite->covers(p.x - d.rect.left, p.y - d.rect.top))
                picked = IsoPick{d.cell, m_map->cellUnchecked(d.cell.x, d.cell.y).altitude,
                                 tb::CellItem{d.block, d.index, d.record}};
        } else if (landHolds(d, p)) {
            picked = IsoPick{d.cell, d.corners.top, std::nullopt};
        }
    }
    m_cache.endFrame();
    return picked;
}

QRect IsoPainter::sceneBounds() {
    if (!ready())
        return {};
    findLargestItem();
    const tb::iso::Reach reach = worstReach();
    const std::int32_t w = m_map->width(), h = m_map->height();
    const ScreenPoint left = tb::iso::cellPoint(0, h - 1, 0, m_half);
    const ScreenPoint right = tb::iso::cellPoint(w - 1, 0, 0, m_half);
    const ScreenPoint bottom = tb::iso::cellPoint(w - 1, h - 1, 0, m_half);
    return toQRect({left.x - reach.side, -reach.up, right.x + 2 * m_half + reach.side,
                    bottom.y + 2 * m_half + reach.down});
}

QPoint IsoPainter::cellScenePoint(std::int32_t x, std::int32_t y, int z) const {
    const ScreenPoint p = tb::iso::cellPoint(x, y, z, m_half);
    return {p.x, p.y};
}

CellBox IsoPainter::cellsShown(const QRect& sceneRect) const {
    if (!ready())
        return {};
    CellBox box = tb::iso::cellsShown(toScreenRect(sceneRect), m_half);
    box.x1 = std::max(box.x1, 0);
    box.y1 = std::max(box.y1, 0);
    box.x2 = std::min(box.x2, m_map->width() - 1);
    box.y2 = std::min(box.y2, m_map->height() - 1);
    return box;
}

CellPos IsoPainter::cellAt(QPoint scenePoint, int z) const {
    return tb::iso::cellAtGround({scenePoint.x(), scenePoint.y()}, z, m_half);
}

QRect IsoPainter::cellsSceneRect(const CellBox& cells) {
    if (!ready())
        return {};
    const CellBox box{std::max(cells.x1, 0), std::max(cells.y1, 0),
                      std::min(cells.x2, m_map->width() - 1),
                      std::min(cells.y2, m_map->height() - 1)};
    if (box.empty())
        return {};
    ensureTables();
    ScreenRect united;
    std::vector<BlockItem> items;
    for (int bx = box.x1 / kBlockSide; bx <= box.x2 / kBlockSide; ++bx) {
        for (int by = box.y1 / kBlockSide; by <= box.y2 / kBlockSide; ++by) {
            items.clear();
            buildBlock(bx, by, box, items);
            for (const BlockItem& item : items)
                united = united.united(item.d.rect);
        }
    }
    return toQRect(united);
}

QRect IsoPainter::invalidate(const CellBox& cells) {
    if (!ready())
        return {};
    ensureTables();
    // A cell's altitude changes the slopes and light of the tiles up to two cells away.
    const int firstBx = std::max(cells.x1 - 2, 0) / kBlockSide;
    const int firstBy = std::max(cells.y1 - 2, 0) / kBlockSide;
    const int lastBx = std::min(cells.x2 + 2, m_map->width() - 1) / kBlockSide;
    const int lastBy = std::min(cells.y2 + 2, m_map->height() - 1) / kBlockSide;
    ScreenRect changed;
    for (int bx = firstBx; bx <= lastBx; ++bx) {
        for (int by = firstBy; by <= lastBy; ++by) {
            m_blockItems.erase(std::uint32_t(bx) << 16 | std::uint32_t(by));
            if (m_blocks.empty() || !m_blocks[std::size_t(bx)])
                continue; // never drawn: nothing of it is on screen
            BlockBounds& b = m_blocks[std::size_t(bx)][std::size_t(by)];
            if (!b.known())
                continue;
            changed = changed.united(scaledBlockRect(bx, by, b));
            b = BlockBounds{};
            changed = changed.united(scaledBlockRect(bx, by, blockBounds(bx, by)));
        }
    }
    return toQRect(changed);
}

void IsoPainter::drawOverlays(QImage& target, const QRect& clip, QPoint sceneOrigin) {
    QPainter painter(&target);
    painter.setClipRect(clip);
    painter.translate(-sceneOrigin);
    const ScreenRect scene = toScreenRect(clip.translated(sceneOrigin));
    const int half = m_half;
    const auto landPolygon = [&](std::int32_t x, std::int32_t y) {
        const IsoDrawable land = landShape(x, y);
        QPolygon polygon;
        if (land.stretched) {
            const ScreenPoint at = tb::iso::cellPoint(x, y, 0, half);
            const tb::iso::Quad q = tb::iso::stretchedQuad(land.corners, half);
            for (const ScreenPoint& p : {q.top, q.right, q.bottom, q.left})
                polygon << QPoint(at.x + p.x, at.y + p.y);
        } else {
            const ScreenPoint at = tb::iso::cellPoint(x, y, land.corners.top, half);
            polygon << QPoint(at.x + half, at.y) << QPoint(at.x + 2 * half, at.y + half)
                    << QPoint(at.x + half, at.y + 2 * half) << QPoint(at.x, at.y + half);
        }
        return polygon;
    };
    painter.setPen(QPen(kIsoMarkedCellColour, half >= kHalfTile ? 2 : 1));
    for (const CellPos& cell : m_marked) {
        if (!m_map->contains(cell.x, cell.y))
            continue;
        const QPolygon polygon = landPolygon(cell.x, cell.y);
        if (toScreenRect(polygon.boundingRect()).intersects(scene))
            painter.drawPolygon(polygon);
    }
    if (m_selection && !m_selection->empty()) {
        // Along the rectangle's border through the cells' corners at their altitudes.
        const CellBox s = *m_selection;
        const std::int32_t lastX = m_map->width() - 1, lastY = m_map->height() - 1;
        const auto corner = [&](std::int32_t x, std::int32_t y) {
            const int z =
                m_map->cellUnchecked(std::clamp(x, 0, lastX), std::clamp(y, 0, lastY)).altitude;
            const ScreenPoint p = tb::iso::cellPoint(x, y, z, half);
            return QPoint(p.x + half, p.y);
        };
        QPolygon border;
        for (std::int32_t x = s.x1; x <= s.x2 + 1; ++x)
            border << corner(x, s.y1);
        for (std::int32_t y = s.y1 + 1; y <= s.y2 + 1; ++y)
            border << corner(s.x2 + 1, y);
        for (std::int32_t x = s.x2; x >= s.x1; --x)
            border << corner(x, s.y2 + 1);
        for (std::int32_t y = s.y2; y > s.y1; --y)
            border << corner(s.x1, y);
        painter.setPen(QPen(kIsoSelectionColour, half >= kHalfTile ? 2 : 1));
        painter.drawPolygon(border);
    }
}

} // namespace tbrender
