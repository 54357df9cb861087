// One paragraph of text turned into positioned glyphs by HarfBuzz, in a face's design units scaled to the
// font's size. Shaping reads only immutable HarfBuzz objects, so threads shape at once without a lock.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "TextFaces.h"

namespace Gdiplus {

struct ShapedGlyph {
    const TextFace* face = nullptr;
    uint32_t glyph = 0;
    uint32_t cluster = 0;  // the UTF-16 index, in the paragraph, of the character the glyph starts
    float advance = 0;     // in the units of `scale` (pixels per design unit times the design advance)
    float xOffset = 0, yOffset = 0;
    uint8_t level = 0;  // the bidi embedding level of its character: odd for right to left
    // Set upright in vertical text: `advance` is its vertical advance, and (xOffset, yOffset) lead from
    // the point on the line's middle where it starts down and left to its origin.
    bool upright = false;
};

// Whether GDI+ sets the character upright in vertical text (Hangul, kana, Han, full-width forms).
bool SetsUpright(char32_t c);

// Shapes the paragraph at the em size (layout units), each run of characters in the font's face or, for
// characters it lacks, in the face fontconfig falls back to (kept alive in `faces`). `levels` gives each
// UTF-16 unit's bidi level (null: all left to right); a run of an odd level is shaped right to left and its
// glyphs are returned in logical order like the others, for lines to be broken before they are reordered.
// A character no installed face has is shaped in the font's face, as its missing glyph (glyph 0). False
// when a character is a control the layer does not lay out.
struct ShapingOptions {
    // The characters GDI+ sets upright are shaped top to bottom (HarfBuzz's vertical metrics: the face's
    // own, or the line's height where it has none).
    bool vertical = false;
    // Characters the font's face lacks come from the face fontconfig picks for them; off
    // (NoFontFallback), they are the font's missing glyph.
    bool fallBack = true;
};
bool ShapeParagraph(const LayerFont& font, const char16_t* text, int length, const uint8_t* levels, float emSize,
                    std::vector<ShapedGlyph>* glyphs, std::vector<std::shared_ptr<TextFace>>* faces,
                    ShapingOptions options = {});

}  // namespace Gdiplus
