// Tabs as GDI+ lays them out: each moves the pen to the next tab stop counted from its line's start (the
// format's stops, or, without any, a stop every kDefaultTabSpaces widths of a space), and in a paragraph
// that wraps a line breaks before a tab whose stop lies past the line's room.
#pragma once

#include <vector>

#include "TextLayout.h"
#include "TextLines.h"

namespace Gdiplus {

// Stops a format without tab stops puts every this many widths of the font's space apart (the engine's
// choice, which GDI+'s documentation and Wine's recorded tests leave open).
constexpr float kDefaultTabSpaces = 8;

// The tab stops from a line's start, in order: the first at the offset plus the first distance, each next
// one the next distance further; past them the last distance repeats. A distance that is not positive and
// finite ends the stops. Without given stops, they repeat every `defaultDistance`.
class TabStops {
public:
    TabStops(const TextRules& rules, float defaultDistance);
    // The first stop past the pen; the pen itself when there is none.
    float After(float pen) const;

private:
    std::vector<float> given;
    float first = 0, repeat = 0;
};

// Places the paragraph's pens and breaks it into lines of at most `room` wide (unbroken when `wrap` is
// off), each glyph with `tab` set widened to the next stop from its line's start: a line breaks before such
// a tab when its stop passes the room, and after the spaces that end a word (between characters for a
// word wider than the line) otherwise; spaces may hang past the end.
void BreakTabbedLines(Paragraph* p, const std::vector<bool>& tab, const TabStops& stops, float room, bool wrap,
                      bool trailingSpaces, std::vector<Line>* lines);

}  // namespace Gdiplus
