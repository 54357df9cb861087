// Tabs laid out by line (TextTabs.h).
#include "TextTabs.h"

#include <algorithm>
#include <cmath>

namespace Gdiplus {

namespace {

constexpr float kPenSlack = 1e-3f;

float LineWidth(const Paragraph& p, size_t first, size_t end, bool trailingSpaces)
{
    if (!trailingSpaces)
        while (end > first && p.IsSpace(end - 1)) --end;
    return p.pen[end] - p.pen[first];
}

}  // namespace

TabStops::TabStops(const TextRules& rules, float defaultDistance)
{
    if (rules.tabStops.empty()) {
        repeat = defaultDistance > 0 && std::isfinite(defaultDistance) ? defaultDistance : 0;
        return;
    }
    float stop = first = rules.firstTabOffset;
    for (float distance : rules.tabStops) {
        if (!(distance > 0) || !std::isfinite(stop + distance)) return;
        stop += distance;
        given.push_back(stop);
    }
    repeat = rules.tabStops.back();
}

float TabStops::After(float pen) const
{
    const auto next = std::upper_bound(given.begin(), given.end(), pen + kPenSlack);
    if (next != given.end()) return *next;
    if (!(repeat > 0)) return pen;
    const float last = given.empty() ? 0.0f : given.back();
    return last + (std::floor((pen + kPenSlack - last) / repeat) + 1) * repeat;
}

void BreakTabbedLines(Paragraph* p, const std::vector<bool>& tab, const TabStops& stops, float room, bool wrap,
                      bool trailingSpaces, std::vector<Line>* lines)
{
    const size_t count = p->glyphs.size();
    p->pen.assign(count + 1, 0.0f);
    size_t start = 0, lastBreak = 0;
    // A break re-places the glyphs after it: their tabs count from the new line's start.
    for (size_t i = 0; i < count;) {
        ShapedGlyph& g = p->glyphs[i];
        const float along = p->pen[i] - p->pen[start];
        const bool isTab = tab[i] && p->StartsCharacter(i);
        if (isTab) g.advance = stops.After(along) - along;
        p->pen[i + 1] = p->pen[i] + g.advance;
        if (i > start && p->IsSpace(i - 1) && !p->IsSpace(i)) lastBreak = i;
        const bool over = wrap && i > start && p->pen[i + 1] - p->pen[start] > room;
        if (over && (isTab || !p->IsSpace(i))) {
            size_t end = isTab ? i : (lastBreak > start ? lastBreak : i);
            while (end > start + 1 && !p->StartsCharacter(end)) --end;
            lines->push_back({start, end, LineWidth(*p, start, end, trailingSpaces)});
            start = lastBreak = i = end;
            continue;
        }
        ++i;
    }
    lines->push_back({start, count, LineWidth(*p, start, count, trailingSpaces)});
}

}  // namespace Gdiplus
