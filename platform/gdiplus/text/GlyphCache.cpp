// The glyph coverage shared by all threads (GlyphCache.h).
#include "GlyphCache.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <shared_mutex>
#include <unordered_map>

#include "TextFaces.h"
#include FT_OUTLINE_H

namespace Gdiplus {

namespace {

constexpr size_t kShards = 16;
constexpr size_t kShardBytes = kGlyphCacheBytes / kShards;
// What a kept glyph costs besides its coverage: its entry and its mask's bookkeeping.
constexpr size_t kEntryBytes = 96;

struct Shard {
    std::shared_mutex lock;
    std::unordered_map<uint64_t, std::shared_ptr<const GlyphMask>> glyphs;
    size_t bytes = 0;
};

std::array<Shard, kShards>& Shards()
{
    // Kept for the life of the process, as threads may draw text while it ends.
    static auto* shards = new std::array<Shard, kShards>;
    return *shards;
}

std::atomic<size_t> heldBytes{0};

// Face, size in 64ths of a pixel, rendering, glyph and quarter positions in one key.
uint64_t KeyOf(uint32_t faceId, uint32_t size64, uint32_t glyph, int quarterX, int quarterY, GlyphRendering rendering)
{
    return (uint64_t(faceId) << 48) ^ (uint64_t(size64 & 0xFFFFu) << 32) ^ (uint64_t(rendering.gridFit) << 28) ^
           (uint64_t(rendering.singleBit) << 29) ^ (uint64_t(rendering.synthetic & 3) << 30) ^
           (uint64_t(glyph & 0xFFFFFFu) << 4) ^ uint64_t(quarterX << 2 | quarterY);
}

// FreeType's hinting for the rendering: none for plain outlines; light hinting (across the baseline only)
// for anti-aliased grid fitting, as before; full hinting for single-bit grid fitting, whose stems must land
// on whole pixels.
FT_Int32 LoadFlagsOf(GlyphRendering rendering)
{
    if (!rendering.gridFit) return FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
    return (rendering.singleBit ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT) | FT_LOAD_NO_BITMAP;
}

// Copies FreeType's bitmap into the mask: grey levels as they are, single bits (a byte holds eight pixels,
// the first in its high bit) as 0 or 255.
void CopyBitmap(const FT_Bitmap& bitmap, GlyphMask* mask)
{
    mask->coverage.resize(size_t(mask->width) * size_t(mask->height));
    for (int row = 0; row < mask->height; ++row) {
        const unsigned char* from = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
        uint8_t* to = mask->coverage.data() + size_t(row) * size_t(mask->width);
        if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
            std::copy_n(from, mask->width, to);
            continue;
        }
        for (int x = 0; x < mask->width; ++x) to[x] = (from[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
    }
}

std::shared_ptr<const GlyphMask> Rasterise(const TextFace& face, uint32_t size64, uint32_t glyph, int quarterX,
                                           int quarterY, GlyphRendering rendering)
{
    const auto lock = face.Lock();
    FT_Face outlines = face.Outlines();
    if (FT_Set_Char_Size(outlines, 0, FT_F26Dot6(size64), 72, 72) != 0 ||
        FT_Load_Glyph(outlines, glyph, LoadFlagsOf(rendering)) != 0 ||
        outlines->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return nullptr;
    SynthesiseStyle(&outlines->glyph->outline, rendering.synthetic, FT_Pos(size64));
    // FreeType's y axis points up; the device's down.
    FT_Outline_Translate(&outlines->glyph->outline, quarterX * 16, -quarterY * 16);
    if (FT_Render_Glyph(outlines->glyph, rendering.singleBit ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return nullptr;
    const FT_Bitmap& bitmap = outlines->glyph->bitmap;
    auto mask = std::make_shared<GlyphMask>();
    mask->left = outlines->glyph->bitmap_left;
    mask->top = -outlines->glyph->bitmap_top;
    mask->width = int(bitmap.width);
    mask->height = int(bitmap.rows);
    CopyBitmap(bitmap, mask.get());
    return mask;
}

std::shared_ptr<const GlyphMask> SharedGlyph(const TextFace& face, uint32_t size64, uint64_t key, uint32_t glyph,
                                             int quarterX, int quarterY, GlyphRendering rendering)
{
    Shard& shard = Shards()[(key * 0x9E3779B97F4A7C15ull) >> 60];
    {
        const std::shared_lock<std::shared_mutex> reading(shard.lock);
        if (auto found = shard.glyphs.find(key); found != shard.glyphs.end()) return found->second;
    }
    std::shared_ptr<const GlyphMask> mask = Rasterise(face, size64, glyph, quarterX, quarterY, rendering);
    if (!mask) return nullptr;
    const size_t cost = mask->coverage.size() + kEntryBytes;
    if (cost > kShardBytes / 4) return mask;
    const std::unique_lock<std::shared_mutex> writing(shard.lock);
    if (shard.bytes + cost > kShardBytes) {
        heldBytes -= shard.bytes;
        shard.glyphs.clear();
        shard.bytes = 0;
    }
    if (shard.glyphs.emplace(key, mask).second) {
        shard.bytes += cost;
        heldBytes += cost;
    }
    return mask;
}

}  // namespace

// A thread's own few glyphs, looked up without a lock: a slot for each key's hash, the masks kept at most
// kThreadGlyphBytes in all, and the last mask not kept there held until the next lookup.
struct ThreadSlot {
    uint64_t key = 0;
    size_t bytes = 0;
    std::shared_ptr<const GlyphMask> mask;
};

struct ThreadGlyphs {
    static constexpr size_t kSlots = 1024;
    std::array<ThreadSlot, kSlots> slots;
    size_t bytes = 0;
    std::shared_ptr<const GlyphMask> last;
};

std::shared_ptr<const GlyphMask> CachedGlyph(const TextFace& face, float emPixels, uint32_t glyph, int quarterX,
                                             int quarterY, GlyphRendering rendering)
{
    const uint32_t size64 = uint32_t(std::lround(emPixels * 64.0f));
    const uint64_t key = KeyOf(face.Id(), size64, glyph, quarterX, quarterY, rendering);
    return SharedGlyph(face, size64, key, glyph, quarterX, quarterY, rendering);
}

GlyphLookup::GlyphLookup(float emPixels, GlyphRendering rendering)
    : size64(uint32_t(std::lround(emPixels * 64.0f))), rendering(rendering)
{
    thread_local std::unique_ptr<ThreadGlyphs> threadGlyphs = std::make_unique<ThreadGlyphs>();
    own = threadGlyphs.get();
}

const GlyphMask* GlyphLookup::Find(const TextFace& face, uint32_t glyph, int quarterX, int quarterY)
{
    const uint64_t key = KeyOf(face.Id(), size64, glyph, quarterX, quarterY, rendering);
    ThreadSlot& slot = own->slots[(key * 0x9E3779B97F4A7C15ull) >> 54];
    if (slot.mask && slot.key == key) return slot.mask.get();
    own->last = SharedGlyph(face, size64, key, glyph, quarterX, quarterY, rendering);
    if (!own->last) return nullptr;
    own->bytes -= slot.bytes;
    slot = ThreadSlot{};
    const size_t cost = own->last->coverage.size() + kEntryBytes;
    if (own->bytes + cost > kThreadGlyphBytes) return own->last.get();
    slot = ThreadSlot{key, cost, std::move(own->last)};
    own->bytes += cost;
    return slot.mask.get();
}

size_t GlyphCacheBytes() { return heldBytes.load(); }

}  // namespace Gdiplus
