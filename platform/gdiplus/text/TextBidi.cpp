// Bidi levels and visual order (TextBidi.h).
#include "TextBidi.h"

#include <algorithm>
#include <numeric>

#include <fribidi.h>

namespace Gdiplus {

namespace {

// Whether the unit may start a right-to-left character or an explicit direction control; surrogates are
// counted too (some right-to-left scripts lie above the first plane).
bool MayTurnRightToLeft(char16_t unit)
{
    return (unit >= 0x0590 && unit <= 0x08FF) || (unit >= 0x200E && unit <= 0x200F) ||
           (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069) ||
           (unit >= 0xD800 && unit < 0xDC00) || (unit >= 0xFB1D && unit <= 0xFDFF) ||
           (unit >= 0xFE70 && unit <= 0xFEFF);
}

}  // namespace

void BidiLevels(const char16_t* text, size_t length, bool rightToLeft, std::vector<uint8_t>* levels)
{
    levels->clear();
    if (!rightToLeft && std::none_of(text, text + length, MayTurnRightToLeft)) return;
    // FriBidi reads code points: each one's UTF-16 units are noted to spread its level back over them.
    std::vector<FriBidiChar> points;
    std::vector<size_t> firstUnit;
    points.reserve(length);
    firstUnit.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        firstUnit.push_back(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        }
        points.push_back(c);
    }
    const auto count = FriBidiStrIndex(points.size());
    std::vector<FriBidiCharType> types(points.size());
    std::vector<FriBidiBracketType> brackets(points.size());
    std::vector<FriBidiLevel> pointLevels(points.size());
    fribidi_get_bidi_types(points.data(), count, types.data());
    fribidi_get_bracket_types(points.data(), count, types.data(), brackets.data());
    FriBidiParType base = rightToLeft ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
    const FriBidiLevel found =
        fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), count, &base, pointLevels.data());
    // FriBidi fails only when out of memory: the base level then stands for every character.
    const uint8_t baseLevel = rightToLeft ? 1 : 0;
    levels->assign(length, baseLevel);
    if (found == 0) return;
    for (size_t k = 0; k < points.size(); ++k) {
        const size_t end = k + 1 < points.size() ? firstUnit[k + 1] : length;
        std::fill(levels->begin() + std::ptrdiff_t(firstUnit[k]), levels->begin() + std::ptrdiff_t(end),
                  uint8_t(pointLevels[k]));
    }
}

void VisualOrder(const std::vector<uint8_t>& levels, std::vector<size_t>* order)
{
    order->resize(levels.size());
    std::iota(order->begin(), order->end(), size_t(0));
    if (levels.empty()) return;
    const uint8_t highest = *std::max_element(levels.begin(), levels.end());
    uint8_t lowestOdd = 255;
    for (uint8_t level : levels)
        if (level & 1) lowestOdd = std::min(lowestOdd, level);
    for (int level = highest; level >= int(lowestOdd); --level) {
        for (size_t k = 0; k < order->size();) {
            if (levels[(*order)[k]] < level) {
                ++k;
                continue;
            }
            size_t end = k;
            while (end < order->size() && levels[(*order)[end]] >= level) ++end;
            std::reverse(order->begin() + std::ptrdiff_t(k), order->begin() + std::ptrdiff_t(end));
            k = end;
        }
    }
}

}  // namespace Gdiplus
