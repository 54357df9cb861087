// Lines trimmed with an ellipsis (TextTrimming.h).
#include "TextTrimming.h"

#include <algorithm>

namespace Gdiplus {

namespace {

float Span(const Paragraph& p, size_t first, size_t end) { return p.pen[end] - p.pen[first]; }

// The last end in (first, line end] a line may stop at whose glyphs from `first` fit the room; `first`
// itself when none does. Word trimming stops only at words, unless not even the first word fits.
size_t LastFittingEnd(const Paragraph& p, size_t first, size_t end, float room, bool atWords)
{
    size_t fitting = first, fittingWord = first;
    for (size_t i = first + 1; i <= end && Span(p, first, i) <= room; ++i) {
        if (i < end && !p.StartsCharacter(i)) continue;
        fitting = i;
        if (i == end || p.StartsWord(i)) fittingWord = i;
    }
    return atWords && fittingWord > first ? fittingWord : fitting;
}

// The start of the line's last part after a slash or backslash (the line's start when it has none).
size_t LastPartStart(const Paragraph& p, size_t first, size_t end)
{
    for (size_t i = end; i > first; --i) {
        const char16_t unit = p.text[p.glyphs[i - 1].cluster];
        if (unit == u'\\' || unit == u'/') return i - 1;
    }
    return first;
}

// Spaces before the ellipsis are not kept.
size_t WithoutTrailingSpaces(const Paragraph& p, size_t first, size_t end)
{
    while (end > first && p.IsSpace(end - 1)) --end;
    return end;
}

// The line's tail is [tailFirst, tailEnd) = its glyphs up to its end, on entry.
void TrimPath(const Paragraph& p, float room, Line* line)
{
    // As much of the last part as fits (its end first), then as much of the start as the rest of the room.
    const size_t lastPart = LastPartStart(p, line->first, line->end);
    size_t tail = lastPart;
    while (tail < line->end && (Span(p, tail, line->end) > room || !p.StartsCharacter(tail))) ++tail;
    const float left = room - Span(p, tail, line->end);
    line->end = tail == lastPart ? LastFittingEnd(p, line->first, lastPart, left, false) : line->first;
    line->tailFirst = tail;
}

}  // namespace

void TrimWithEllipsis(const Paragraph& p, StringTrimming trimming, float room, float ellipsisWidth, Line* line)
{
    if (Span(p, line->first, line->end) <= room) return;
    const float left = std::max(room - ellipsisWidth, 0.0f);
    line->ellipsis = true;
    line->tailFirst = line->tailEnd = line->end;
    if (trimming == StringTrimmingEllipsisPath) {
        TrimPath(p, left, line);
    } else {
        const bool atWords = trimming == StringTrimmingEllipsisWord;
        line->end = WithoutTrailingSpaces(p, line->first, LastFittingEnd(p, line->first, line->end, left, atWords));
        line->tailFirst = line->tailEnd;
    }
    line->width = Span(p, line->first, line->end) + ellipsisWidth + Span(p, line->tailFirst, line->tailEnd);
}

}  // namespace Gdiplus
