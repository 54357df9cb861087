// Lines laid out as GDI+ lays them out (TextLayout.h).
#include "TextLayout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "TextShaping.h"

namespace Gdiplus {

namespace {

// Glyphs [first, end) of a paragraph, and their width without the padding.
struct Line {
    size_t first = 0, end = 0;
    float width = 0;
};

// A paragraph's glyphs with each one's pen position (pen[i] where glyph i starts, pen[n] the end).
struct Paragraph {
    const char16_t* text = nullptr;
    std::vector<ShapedGlyph> glyphs;
    std::vector<float> pen;
    bool IsSpace(size_t i) const
    {
        const char16_t unit = text[glyphs[i].cluster];
        return unit == u' ' || unit == u'\u3000';
    }
    // Whether a line may end before glyph i without splitting a character.
    bool StartsCharacter(size_t i) const { return i == 0 || glyphs[i].cluster != glyphs[i - 1].cluster; }
};

// The shift of a line or block of the extent along a side of the layout: none, half the room left, all of
// it. Along an empty side the room is negative: centred and far text lie about and before the point.
float AlignedShift(StringAlignment alignment, float side, float extent)
{
    if (alignment == StringAlignmentCenter) return (side - extent) / 2;
    if (alignment == StringAlignmentFar) return side - extent;
    return 0;
}

float LineWidth(const Paragraph& p, size_t first, size_t end, bool trailingSpaces)
{
    if (!trailingSpaces)
        while (end > first && p.IsSpace(end - 1)) --end;
    return p.pen[end] - p.pen[first];
}

// Breaks the paragraph into lines of at most `room` wide: after the spaces that end a word, or between
// characters where a word alone is wider; spaces may hang past the end.
void BreakLines(const Paragraph& p, float room, bool wrap, bool trailingSpaces, std::vector<Line>* lines)
{
    const size_t count = p.glyphs.size();
    size_t start = 0, lastBreak = 0;
    for (size_t i = 0; wrap && i < count; ++i) {
        if (i > start && p.IsSpace(i - 1) && !p.IsSpace(i)) lastBreak = i;
        while (i > start && !p.IsSpace(i) && p.pen[i + 1] - p.pen[start] > room) {
            size_t end = lastBreak > start ? lastBreak : i;
            while (end > start + 1 && !p.StartsCharacter(end)) --end;
            lines->push_back({start, end, LineWidth(p, start, end, trailingSpaces)});
            start = end;
        }
    }
    lines->push_back({start, count, LineWidth(p, start, count, trailingSpaces)});
}

// Ends the line after its last whole character whose right edge is within the room; the UTF-16 units kept.
size_t CutLine(const Paragraph& p, float room, Line* line)
{
    size_t end = line->first;
    while (end < line->end && p.pen[end + 1] - p.pen[line->first] <= room) ++end;
    while (end > line->first && end < line->end && !p.StartsCharacter(end)) --end;
    line->end = end;
    line->width = p.pen[end] - p.pen[line->first];
    return end < p.glyphs.size() ? p.glyphs[end].cluster : std::u16string::npos;
}

}  // namespace

bool LayOutText(const LayerFont& font, const char16_t* text, int length, const RectF& layout, const TextRules& rules,
                LaidText* laid)
{
    laid->glyphs.clear();
    laid->box = RectF(layout.X, layout.Y, 0, 0);
    laid->fitted = laid->lines = 0;
    if (length <= 0) return true;
    // A NUL has no glyph and no width, and does not break a line: a word joiner stands in for it.
    std::u16string copy(text, static_cast<size_t>(length));
    std::replace(copy.begin(), copy.end(), u'\0', u'\u2060');
    if (copy.back() == u'\n' || copy.find(u'\r') != std::u16string::npos) return false;

    const float room = layout.Width - 2 * rules.padding;
    const bool wrap = rules.wrap && layout.Width > 0;
    const bool cut = rules.cutAtWidth && layout.Width > 0;
    std::vector<Paragraph> paragraphs;
    std::vector<std::vector<Line>> lines;
    size_t lineCount = 0, fitted = copy.size();
    for (size_t from = 0; from <= copy.size();) {
        const size_t to = std::min(copy.find(u'\n', from), copy.size());
        Paragraph& p = paragraphs.emplace_back();
        p.text = copy.data() + from;
        if (!ShapeParagraph(font, p.text, int(to - from), rules.emSize, &p.glyphs, &laid->fallbacks)) return false;
        p.pen.resize(p.glyphs.size() + 1, 0.0f);
        for (size_t i = 0; i < p.glyphs.size(); ++i) p.pen[i + 1] = p.pen[i] + p.glyphs[i].advance;
        BreakLines(p, room, wrap, rules.measureTrailingSpaces, &lines.emplace_back());
        if (cut) {
            // Only a single unwrapped line is cut here; more paragraphs stay with the engine.
            if (to != copy.size()) return false;
            const size_t kept = CutLine(p, room, &lines.back().back());
            if (kept != std::u16string::npos) fitted = from + kept;
        }
        lineCount += lines.back().size();
        from = to + 1;
    }

    laid->overflows = layout.Height > 0 && float(lineCount) * rules.lineHeight > layout.Height + 1e-3f;
    if (laid->overflows) {
        const float fits = layout.Height / rules.lineHeight;
        lineCount = std::min(lineCount, size_t(rules.lineLimit ? std::floor(fits + 1e-3f) : std::ceil(fits)));
    }
    const float blockHeight = float(lineCount) * rules.lineHeight;
    float widest = 0;
    for (const auto& paragraphLines : lines)
        for (const Line& line : paragraphLines) widest = std::max(widest, line.width + 2 * rules.padding);
    const float top = layout.Y + AlignedShift(rules.lineAlignment, std::max(layout.Height, 0.0f), blockHeight);
    const float side = std::max(layout.Width, 0.0f);
    laid->box = RectF(layout.X + AlignedShift(rules.alignment, side, widest), top, widest, blockHeight);
    laid->fitted = static_cast<INT>(fitted);
    laid->lines = static_cast<INT>(lineCount);

    laid->lineHeight = rules.lineHeight;
    laid->glyphs.reserve(copy.size());
    float lineTop = top;
    for (size_t k = 0; k < paragraphs.size(); ++k) {
        const Paragraph& p = paragraphs[k];
        const INT firstUnit = static_cast<INT>(p.text - copy.data());
        for (const Line& line : lines[k]) {
            if (laid->lineTops.size() == lineCount) return true;
            const float left =
                layout.X + AlignedShift(rules.alignment, side, line.width + 2 * rules.padding) + rules.padding;
            for (size_t i = line.first; i < line.end; ++i) {
                const ShapedGlyph& g = p.glyphs[i];
                const float penX = left + p.pen[i] - p.pen[line.first];
                laid->glyphs.push_back({g.face, g.glyph, penX + g.xOffset, lineTop + rules.ascent + g.yOffset,
                                        firstUnit + static_cast<INT>(g.cluster), INT(laid->lineTops.size()), penX,
                                        g.advance});
            }
            laid->lineTops.push_back(lineTop);
            lineTop += rules.lineHeight;
        }
    }
    return true;
}

}  // namespace Gdiplus
