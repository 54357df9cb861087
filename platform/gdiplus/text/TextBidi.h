// Right-to-left text: each character's embedding level found by FriBidi (the Unicode bidi algorithm), and
// a line's glyphs put in the order they are seen in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Gdiplus {

// The bidi level of each UTF-16 unit of the paragraph, its base direction right to left when asked
// (GDI+'s DirectionRightToLeft) and left to right otherwise. Leaves `levels` empty when every unit is at
// level 0 (a left-to-right paragraph with no right-to-left character), so that such text costs nothing.
void BidiLevels(const char16_t* text, size_t length, bool rightToLeft, std::vector<uint8_t>* levels);

// The visual order of a line's items from their levels (rule L2: every run at or above each odd-or-higher
// level, from the highest down, reversed); `order[k]` is the logical index of the k-th item from the left.
void VisualOrder(const std::vector<uint8_t>& levels, std::vector<size_t>* order);

}  // namespace Gdiplus
