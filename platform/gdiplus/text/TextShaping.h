// One paragraph of text turned into positioned glyphs by HarfBuzz, in a face's design units scaled to the
// font's size. Shaping reads only immutable HarfBuzz objects, so threads shape at once without a lock.
#pragma once

#include <cstdint>
#include <vector>

#include "TextFaces.h"

namespace Gdiplus {

struct ShapedGlyph {
    uint32_t glyph = 0;
    uint32_t cluster = 0;  // the UTF-16 index, in the paragraph, of the character the glyph starts
    float advance = 0;     // in the units of `scale` (pixels per design unit times the design advance)
    float xOffset = 0, yOffset = 0;
};

// Shapes the paragraph left to right; false when the face has no glyph for one of its characters (the
// engine then falls back to another face) or a character is one the layer does not lay out (a tab, a
// right-to-left letter, a control).
bool ShapeParagraph(const TextFace& face, const char16_t* text, int length, float scale,
                    std::vector<ShapedGlyph>* glyphs);

}  // namespace Gdiplus
