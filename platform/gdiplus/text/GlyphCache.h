// Glyphs rasterised once and kept for every thread: each glyph's coverage at a face, a size and a position
// within a pixel (quarters of a pixel across and down). The cache is split in shards, each under a
// shared_mutex and bounded in bytes; a shard that would grow past its share lets its glyphs go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Gdiplus {

class TextFace;

// A glyph's coverage, 0 to 255 a pixel, with its top-left pixel relative to the pixel of its origin.
struct GlyphMask {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> coverage;
};

// The most bytes the cache holds, over all its shards.
constexpr size_t kGlyphCacheBytes = size_t(8) << 20;
// Fonts with a larger em in device pixels are drawn from their outlines, never cached.
constexpr float kLargestCachedEm = 256.0f;

// How a glyph is rasterised: anti-aliased or single-bit (every pixel 0 or 255), from its plain outline or
// hinted to the pixel grid, and made up bold or italic (FontStyle bits) where its face lacks the style.
struct GlyphRendering {
    bool gridFit = false;
    bool singleBit = false;
    int synthetic = 0;
};

// The glyph's coverage at the em size (device pixels) with its origin the given quarters of a pixel right
// of and below a pixel's corner, rendered as asked; null when FreeType cannot draw it.
std::shared_ptr<const GlyphMask> CachedGlyph(const TextFace& face, float emPixels, uint32_t glyph, int quarterX,
                                             int quarterY, GlyphRendering rendering);

// The most bytes of glyphs each drawing thread keeps in a small cache of its own, besides the shared one.
constexpr size_t kThreadGlyphBytes = size_t(256) << 10;

struct ThreadGlyphs;

// Glyphs looked up for one drawing at one size and rendering: CachedGlyph's masks, found first in the
// calling thread's own cache without taking a lock. Made and used on one thread.
class GlyphLookup {
public:
    GlyphLookup(float emPixels, GlyphRendering rendering);
    // The mask, valid until the thread's next Find; null when FreeType cannot draw the glyph.
    const GlyphMask* Find(const TextFace& face, uint32_t glyph, int quarterX, int quarterY);

private:
    ThreadGlyphs* own;
    uint32_t size64;
    GlyphRendering rendering;
};

// The bytes the cache holds now (the coverage of every glyph kept).
size_t GlyphCacheBytes();

}  // namespace Gdiplus
