// A paragraph shaped for layout and the lines it is broken into, shared by the line layout
// (TextLayout.cpp) and the trimming of the last visible line (TextTrimming.cpp).
#pragma once

#include <cstddef>
#include <vector>

#include "TextShaping.h"

namespace Gdiplus {

// A paragraph's glyphs in logical order with each one's pen position (pen[i] where glyph i starts, pen[n]
// the end), tabs already widened to their stops.
struct Paragraph {
    const char16_t* text = nullptr;
    std::vector<ShapedGlyph> glyphs;
    std::vector<float> pen;
    uint8_t baseLevel = 0;  // 1 in a right-to-left paragraph
    bool IsSpace(size_t i) const
    {
        const char16_t unit = text[glyphs[i].cluster];
        return unit == u' ' || unit == u'\u3000';
    }
    // Whether a line may end before glyph i without splitting a character.
    bool StartsCharacter(size_t i) const { return i == 0 || glyphs[i].cluster != glyphs[i - 1].cluster; }
    // Whether a word starts at glyph i (after the spaces that end the one before).
    bool StartsWord(size_t i) const { return i > 0 && i < glyphs.size() && IsSpace(i - 1) && !IsSpace(i); }
};

// Glyphs [first, end) of a paragraph and their width without the padding; a trimmed line ends with an
// ellipsis, followed (path trimming) by the glyphs [tailFirst, tailEnd).
struct Line {
    size_t first = 0, end = 0;
    float width = 0;
    bool ellipsis = false;
    size_t tailFirst = 0, tailEnd = 0;
};

}  // namespace Gdiplus
