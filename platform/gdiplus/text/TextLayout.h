// Text laid out in lines as GDI+ lays it out: paragraphs at line feeds, lines broken after the spaces
// between words (a word wider than the line is broken between characters), each line's trailing spaces
// left out of its width, GenericDefault's padding of a sixth of the em on the left and the right, lines a
// line spacing apart with the first baseline an ascent below the top, and the lines aligned near, centre
// or far on both axes (about the point itself along a side that is empty). Right-to-left runs are put in
// visual order (TextBidi.h), and a right-to-left paragraph's near side is its right; tabs move the pen to
// the format's stops; hotkey prefixes are dropped (and the next character underlined); the last visible
// line is trimmed with an ellipsis (TextTrimming.h).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "../GdiplusTypes.h"
#include "TextFaces.h"

namespace Gdiplus {

struct TextRules {
    float emSize = 0;      // the font's em in layout units
    float ascent = 0;      // from a line's top to its baseline
    float lineHeight = 0;  // from one line's top to the next
    float padding = 0;     // on each side of every line
    bool wrap = true;
    bool cutAtWidth = false;  // an unwrapped line ends after its last whole character that fits
    bool measureTrailingSpaces = false;
    bool lineLimit = false;  // of lines past the layout's height, none is shown in part
    StringAlignment alignment = StringAlignmentNear, lineAlignment = StringAlignmentNear;
    bool rightToLeft = false;  // the paragraphs' base direction (DirectionRightToLeft)
    bool vertical = false;     // lines top to bottom, each next one left of the last (DirectionVertical)
    bool uprightRuns = false;  // lines laid across for vertical text: Han, kana and Hangul set upright
    bool fontFallback = true;  // off (NoFontFallback): characters the face lacks are its missing glyph
    StringTrimming trimming = StringTrimmingCharacter;
    HotkeyPrefix hotkeyPrefix = HotkeyPrefixNone;
    // Tab stops from the line's start: the first at firstTabOffset + tabStops[0], each next one the next
    // distance further, the last distance repeated; no stops: a stop every eight widths of a space.
    float firstTabOffset = 0;
    std::vector<float> tabStops;
};

struct PlacedGlyph {
    const TextFace* face = nullptr;
    uint32_t glyph = 0;
    float x = 0, y = 0;  // where its origin lies on the baseline, in layout units
    INT unit = 0;        // the UTF-16 index of the character it starts
    INT line = 0;
    float penX = 0, advance = 0;  // the character's cell along the line
    bool turned = false;          // drawn a quarter turn clockwise (vertical text other than Han, kana, Hangul)
};

struct LaidText {
    std::vector<PlacedGlyph> glyphs;
    RectF box;       // what MeasureString reports
    INT fitted = 0;  // UTF-16 units laid out
    INT lines = 0;
    const LayerFont* font = nullptr;
    std::vector<std::shared_ptr<TextFace>> fallbacks;  // faces other than the font's that glyphs use
    float emSize = 0;
    std::vector<float> lineTops;
    float lineHeight = 0;
    bool overflows = false;  // more lines than the layout's height holds: those past it have no glyphs
    bool ellipsis = false;   // a line was trimmed with an ellipsis
    std::vector<RectF>
        underlines;  // under the characters a hotkey prefix shows; an underlined or struck-out font's lines
    // Vertical text is laid out as lines across a rectangle of the layout's sides swapped, then turned a
    // quarter clockwise about the layout's top right corner: Turned maps a box of that frame onto the page.
    bool vertical = false;
    RectF layout;
    RectF Turned(const RectF& box) const
    {
        if (!vertical) return box;
        return RectF(layout.GetRight() - box.GetBottom(), layout.Y + box.X, box.Height, box.Width);
    }
};

// Lays the text out in the layout rectangle (vertical text: Han, kana and Hangul set upright, other glyphs
// turned); false when shaping fails (HarfBuzz runs out of memory). Of
// more lines than the rectangle's height holds, those that start inside it (that end inside it under
// LineLimit) are shown and aligned, and `overflows` says so.
bool LayOutText(const LayerFont& font, const char16_t* text, int length, const RectF& layout, const TextRules& rules,
                LaidText* laid);

}  // namespace Gdiplus
