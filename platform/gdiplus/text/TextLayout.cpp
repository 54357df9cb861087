// Lines laid out as GDI+ lays them out (TextLayout.h).
#include "TextLayout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <hb-ot.h>

#include "TextBidi.h"
#include "TextLines.h"
#include "TextShaping.h"
#include "TextTabs.h"
#include "TextTrimming.h"

namespace Gdiplus {

namespace {

// The shift of a line or block of the extent along a side of the layout: none, half the room left, all of
// it. Along an empty side the room is negative: centred and far text lie about and before the point.
float AlignedShift(StringAlignment alignment, float side, float extent)
{
    if (alignment == StringAlignmentCenter) return (side - extent) / 2;
    if (alignment == StringAlignmentFar) return side - extent;
    return 0;
}

// A right-to-left paragraph's near side is the right (GDI+).
StringAlignment Mirrored(StringAlignment alignment)
{
    if (alignment == StringAlignmentNear) return StringAlignmentFar;
    if (alignment == StringAlignmentFar) return StringAlignmentNear;
    return alignment;
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

// Ends the line after its last whole character whose right edge is within the room.
void CutLine(const Paragraph& p, float room, Line* line)
{
    size_t end = line->first;
    while (end < line->end && p.pen[end + 1] - p.pen[line->first] <= room) ++end;
    while (end > line->first && end < line->end && !p.StartsCharacter(end)) --end;
    line->end = end;
    line->width = p.pen[end] - p.pen[line->first];
}

// The units up to the end of the last line shown (its line feed included) when only `shown` lines are.
size_t ShownEnd(const std::vector<Paragraph>& paragraphs, const std::vector<std::vector<Line>>& lines,
                const std::u16string& copy, size_t shown)
{
    for (size_t k = 0; k < paragraphs.size(); ++k) {
        if (shown > lines[k].size()) {
            shown -= lines[k].size();
            continue;
        }
        if (shown == 0) return size_t(paragraphs[k].text - copy.data());
        const Paragraph& p = paragraphs[k];
        const Line& last = lines[k][shown - 1];
        const size_t from = size_t(p.text - copy.data());
        if (last.end < p.glyphs.size()) return from + p.glyphs[last.end].cluster;
        const size_t lineFeed = copy.find(u'\n', from);
        return lineFeed == std::u16string::npos ? copy.size() : lineFeed + 1;
    }
    return copy.size();
}

// The text as laid out (hotkey prefixes dropped, a NUL's stand-in a word joiner, a tab a space) with the
// index in the caller's string of each of its units, and the units a shown prefix underlines.
struct Prepared {
    std::u16string text;
    std::vector<INT> origin;  // origin[text.size()] is the string's length
    std::vector<bool> tab;
    std::vector<size_t> hotkeys;
};

bool IsHiddenControl(char16_t unit)
{
    return (unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r') || (unit >= 0x7F && unit < 0xA0);
}

void Prepare(const char16_t* text, int length, HotkeyPrefix prefix, Prepared* out)
{
    out->text.reserve(size_t(length));
    out->origin.reserve(size_t(length) + 1);
    for (int i = 0; i < length; ++i) {
        char16_t unit = text[i];
        if (prefix != HotkeyPrefixNone && unit == u'&') {
            // "&&" is a literal "&"; a lone one marks the next character.
            if (i + 1 < length && text[i + 1] == u'&') {
                ++i;
            } else {
                if (prefix == HotkeyPrefixShow && i + 1 < length) out->hotkeys.push_back(out->text.size());
                continue;
            }
        }
        // NUL and the controls without a rule of their own are laid out as invisible joiners.
        if (IsHiddenControl(unit)) unit = u'\u2060';
        // A carriage return ends a line as a line feed does; before one, it is part of it.
        if (unit == u'\r' && i + 1 < length && text[i + 1] == u'\n') continue;
        if (unit == u'\r') unit = u'\n';
        out->tab.push_back(unit == u'\t');
        out->text.push_back(unit == u'\t' ? u' ' : unit);
        out->origin.push_back(i);
    }
    out->origin.push_back(length);
}

// Each glyph's pen position, from the paragraph's start.
void PlacePens(Paragraph* p)
{
    p->pen.assign(p->glyphs.size() + 1, 0.0f);
    for (size_t i = 0; i < p->glyphs.size(); ++i) p->pen[i + 1] = p->pen[i] + p->glyphs[i].advance;
}

// Which of the paragraph's glyphs stand for a tab.
std::vector<bool> TabGlyphs(const Prepared& prepared, size_t from, const Paragraph& p)
{
    std::vector<bool> tab(p.glyphs.size());
    for (size_t i = 0; i < p.glyphs.size(); ++i) tab[i] = prepared.tab[from + p.glyphs[i].cluster];
    return tab;
}

// The advance of the face's space at the em size.
float SpaceWidth(const LayerFont& font, float emSize)
{
    hb_codepoint_t space = 0;
    if (!hb_font_get_nominal_glyph(font.face->Shaper(), u' ', &space)) return emSize / 4;
    return float(hb_font_get_glyph_h_advance(font.face->Shaper(), space)) * emSize / float(font.face->UnitsPerEm());
}

bool HasTab(const Prepared& prepared, size_t from, size_t to)
{
    return std::find(prepared.tab.begin() + std::ptrdiff_t(from), prepared.tab.begin() + std::ptrdiff_t(to), true) !=
           prepared.tab.begin() + std::ptrdiff_t(to);
}

// The underline a shown hotkey prefix draws, from the face's metrics: its offset below the baseline and its
// thickness, in layout units.
struct Underline {
    float offset = 0, thickness = 0;
};

// A line the face places by two of its metrics (underline or strikeout): its offset below the baseline
// and its thickness, at least a pixel.
Underline FaceLine(const TextFace& face, float emSize, hb_ot_metrics_tag_t offsetTag, hb_ot_metrics_tag_t sizeTag)
{
    hb_position_t offset = 0, thickness = 0;
    hb_ot_metrics_get_position_with_fallback(face.Shaper(), offsetTag, &offset);
    hb_ot_metrics_get_position_with_fallback(face.Shaper(), sizeTag, &thickness);
    const float scale = emSize / float(face.UnitsPerEm());
    return {-float(offset) * scale, std::max(float(thickness) * scale, 1.0f)};
}

// The face's strikeout, as an underline above the baseline.
Underline StrikeoutOf(const TextFace& face, float emSize)
{
    return FaceLine(face, emSize, HB_OT_METRICS_TAG_STRIKEOUT_OFFSET, HB_OT_METRICS_TAG_STRIKEOUT_SIZE);
}

Underline UnderlineOf(const TextFace& face, float emSize)
{
    return FaceLine(face, emSize, HB_OT_METRICS_TAG_UNDERLINE_OFFSET, HB_OT_METRICS_TAG_UNDERLINE_SIZE);
}

// A line's glyphs as placed: the paragraph's glyph index, or kEllipsis for each glyph of the ellipsis.
constexpr size_t kEllipsis = size_t(-1);

struct LinePlacement {
    const Paragraph* p;
    const Line* line;
    const std::vector<ShapedGlyph>* ellipsis;
};

// The line's items in logical order, with their bidi levels (trailing spaces at the paragraph's, rule L1).
void LogicalItems(const LinePlacement& at, std::vector<size_t>* items, std::vector<uint8_t>* levels)
{
    const Paragraph& p = *at.p;
    for (size_t i = at.line->first; i < at.line->end; ++i) items->push_back(i);
    if (at.line->ellipsis)
        for (size_t k = 0; k < at.ellipsis->size(); ++k) items->push_back(kEllipsis - k);
    for (size_t i = at.line->tailFirst; at.line->ellipsis && i < at.line->tailEnd; ++i) items->push_back(i);
    for (size_t item : *items) levels->push_back(item < p.glyphs.size() ? p.glyphs[item].level : p.baseLevel);
    for (size_t k = items->size(); k > 0 && (*items)[k - 1] < p.glyphs.size() && p.IsSpace((*items)[k - 1]); --k)
        (*levels)[k - 1] = p.baseLevel;
}

// The glyph an item stands for.
const ShapedGlyph& ItemGlyph(const LinePlacement& at, size_t item)
{
    return item < at.p->glyphs.size() ? at.p->glyphs[item] : (*at.ellipsis)[kEllipsis - item];
}

// Vertical text: the lines laid out across the layout with its sides swapped, then turned a quarter
// clockwise about its top right corner, so lines run down and follow each other leftwards.
bool LayOutVertical(const LayerFont& font, const char16_t* text, int length, const RectF& layout,
                    const TextRules& rules, LaidText* laid)
{
    TextRules across = rules;
    across.vertical = false;
    across.uprightRuns = true;
    if (!LayOutText(font, text, length, RectF(0, 0, layout.Height, layout.Width), across, laid)) return false;
    laid->vertical = true;
    laid->layout = layout;
    laid->box = laid->Turned(laid->box);
    for (PlacedGlyph& glyph : laid->glyphs) {
        const PointF origin(layout.GetRight() - glyph.y, layout.Y + glyph.x);
        glyph.x = origin.X;
        glyph.y = origin.Y;
    }
    for (RectF& underline : laid->underlines) underline = laid->Turned(underline);
    return true;
}

}  // namespace

bool LayOutText(const LayerFont& font, const char16_t* text, int length, const RectF& layout, const TextRules& rules,
                LaidText* laid)
{
    laid->vertical = false;
    if (rules.vertical) return LayOutVertical(font, text, length, layout, rules, laid);
    laid->glyphs.clear();
    laid->underlines.clear();
    laid->lineTops.clear();
    laid->box = RectF(layout.X, layout.Y, 0, 0);
    laid->fitted = laid->lines = 0;
    laid->ellipsis = false;
    if (length <= 0) return true;
    Prepared prepared;
    Prepare(text, length, rules.hotkeyPrefix, &prepared);
    const std::u16string& copy = prepared.text;
    if (copy.empty()) return true;
    // A line feed that ends the text starts no line of its own (GDI+).
    const size_t lastStart = copy.size() - (copy.back() == u'\n' ? 1 : 0);

    const float room = layout.Width - 2 * rules.padding;
    const bool wrap = rules.wrap && layout.Width > 0;
    const bool cut = rules.cutAtWidth && layout.Width > 0;
    const bool ellipsisTrimming = EndsWithEllipsis(rules.trimming);
    std::vector<ShapedGlyph> ellipsis;
    float ellipsisWidth = 0;
    if (ellipsisTrimming) {
        if (!ShapeParagraph(font, u"\u2026", 1, nullptr, rules.emSize, &ellipsis, &laid->fallbacks,
                            {rules.uprightRuns, rules.fontFallback}))
            return false;
        for (const ShapedGlyph& g : ellipsis) ellipsisWidth += g.advance;
    }
    const uint8_t baseLevel = rules.rightToLeft ? 1 : 0;
    const bool tabs = HasTab(prepared, 0, copy.size());
    const TabStops stops(rules, tabs ? kDefaultTabSpaces * SpaceWidth(font, rules.emSize) : 0);
    std::vector<Paragraph> paragraphs;
    std::vector<std::vector<Line>> lines;
    std::vector<uint8_t> levels;
    size_t lineCount = 0, fitted = copy.size();
    for (size_t from = 0; from <= lastStart;) {
        const size_t to = std::min(copy.find(u'\n', from), copy.size());
        Paragraph& p = paragraphs.emplace_back();
        p.text = copy.data() + from;
        p.baseLevel = baseLevel;
        BidiLevels(p.text, to - from, rules.rightToLeft, &levels);
        if (!ShapeParagraph(font, p.text, int(to - from), levels.empty() ? nullptr : levels.data(), rules.emSize,
                            &p.glyphs, &laid->fallbacks, {rules.uprightRuns, rules.fontFallback}))
            return false;
        if (HasTab(prepared, from, to)) {
            const std::vector<bool> tab = TabGlyphs(prepared, from, p);
            BreakTabbedLines(&p, tab, stops, room, wrap, rules.measureTrailingSpaces, &lines.emplace_back());
        } else {
            PlacePens(&p);
            BreakLines(p, room, wrap, rules.measureTrailingSpaces, &lines.emplace_back());
        }
        if (cut) {
            Line& line = lines.back().back();
            if (ellipsisTrimming)
                TrimWithEllipsis(p, rules.trimming, room, ellipsisWidth, &line);
            else
                CutLine(p, room, &line);
            if (line.end < p.glyphs.size()) fitted = std::min<size_t>(fitted, from + p.glyphs[line.end].cluster);
        }
        lineCount += lines.back().size();
        from = to + 1;
    }

    laid->overflows = layout.Height > 0 && float(lineCount) * rules.lineHeight > layout.Height + 1e-3f;
    if (laid->overflows) {
        const float fits = layout.Height / rules.lineHeight;
        lineCount = std::min(lineCount, size_t(rules.lineLimit ? std::floor(fits + 1e-3f) : std::ceil(fits)));
        // The last line shown takes the rest of its paragraph, trimmed with an ellipsis.
        size_t seen = 0;
        for (size_t k = 0; ellipsisTrimming && k < paragraphs.size() && lineCount > 0; ++k) {
            if (seen + lines[k].size() < lineCount) {
                seen += lines[k].size();
                continue;
            }
            Line& last = lines[k][lineCount - seen - 1];
            last.end = paragraphs[k].glyphs.size();
            last.width = LineWidth(paragraphs[k], last.first, last.end, rules.measureTrailingSpaces);
            TrimWithEllipsis(paragraphs[k], rules.trimming, room, ellipsisWidth, &last);
            break;
        }
        fitted = std::min(fitted, ShownEnd(paragraphs, lines, copy, lineCount));
    }
    const float blockHeight = float(lineCount) * rules.lineHeight;
    const StringAlignment alignment = rules.rightToLeft ? Mirrored(rules.alignment) : rules.alignment;
    float widest = 0;
    size_t counted = 0;
    for (const auto& paragraphLines : lines)
        for (const Line& line : paragraphLines)
            if (counted++ < lineCount || !laid->overflows) widest = std::max(widest, line.width + 2 * rules.padding);
    const float top = layout.Y + AlignedShift(rules.lineAlignment, std::max(layout.Height, 0.0f), blockHeight);
    const float side = std::max(layout.Width, 0.0f);
    laid->box = RectF(layout.X + AlignedShift(alignment, side, widest), top, widest, blockHeight);
    // Of lines shown in part, the box keeps to the layout's height (GDI+).
    if (laid->overflows) {
        const float boxTop = std::max(top, layout.Y), boxBottom = std::min(top + blockHeight, layout.GetBottom());
        laid->box.Y = boxTop;
        laid->box.Height = std::max(boxBottom - boxTop, 0.0f);
    }
    laid->fitted = prepared.origin[fitted];
    laid->lines = static_cast<INT>(lineCount);

    laid->lineHeight = rules.lineHeight;
    laid->glyphs.reserve(copy.size());
    float lineTop = top;
    const bool underlined = font.style & FontStyleUnderline, struck = font.style & FontStyleStrikeout;
    const Underline underline =
        prepared.hotkeys.empty() && !underlined ? Underline() : UnderlineOf(*font.face, rules.emSize);
    const Underline strikeout = struck ? StrikeoutOf(*font.face, rules.emSize) : Underline();
    std::vector<size_t> items, order;
    std::vector<uint8_t> itemLevels;
    for (size_t k = 0; k < paragraphs.size(); ++k) {
        const Paragraph& p = paragraphs[k];
        const size_t firstUnit = size_t(p.text - copy.data());
        for (const Line& line : lines[k]) {
            if (laid->lineTops.size() == lineCount) return true;
            laid->ellipsis = laid->ellipsis || line.ellipsis;
            const LinePlacement at{&p, &line, &ellipsis};
            items.clear();
            itemLevels.clear();
            LogicalItems(at, &items, &itemLevels);
            VisualOrder(itemLevels, &order);
            float full = 0;
            for (size_t item : items) full += ItemGlyph(at, item).advance;
            // In a right-to-left paragraph the unmeasured trailing spaces lie left of the line's start.
            const float hang = p.baseLevel && !line.ellipsis ? full - line.width : 0;
            float penX =
                layout.X + AlignedShift(alignment, side, line.width + 2 * rules.padding) + rules.padding - hang;
            const size_t cutUnit = line.end < p.glyphs.size() ? p.glyphs[line.end].cluster : 0;
            for (size_t index : order) {
                const size_t item = items[index];
                const ShapedGlyph& g = ItemGlyph(at, item);
                const size_t unit = firstUnit + (item < p.glyphs.size() ? g.cluster : cutUnit);
                // An upright glyph's offsets lead from the line's middle.
                const float baseline = g.upright ? lineTop + rules.lineHeight / 2 : lineTop + rules.ascent;
                laid->glyphs.push_back({g.face, g.glyph, penX + g.xOffset, baseline + g.yOffset, prepared.origin[unit],
                                        INT(laid->lineTops.size()), penX, g.advance, rules.uprightRuns && !g.upright});
                if (item < p.glyphs.size() && p.StartsCharacter(item) &&
                    std::binary_search(prepared.hotkeys.begin(), prepared.hotkeys.end(), unit))
                    laid->underlines.emplace_back(penX, lineTop + rules.ascent + underline.offset, g.advance,
                                                  underline.thickness);
                penX += g.advance;
            }
            // An underlined or struck-out font's lines run under or through the line's measured width.
            const float lineStart =
                layout.X + AlignedShift(alignment, side, line.width + 2 * rules.padding) + rules.padding;
            const float baseline = lineTop + rules.ascent;
            if (underlined && line.width > 0)
                laid->underlines.emplace_back(lineStart, baseline + underline.offset, line.width, underline.thickness);
            if (struck && line.width > 0)
                laid->underlines.emplace_back(lineStart, baseline + strikeout.offset, line.width, strikeout.thickness);
            laid->lineTops.push_back(lineTop);
            lineTop += rules.lineHeight;
        }
    }
    return true;
}

}  // namespace Gdiplus
