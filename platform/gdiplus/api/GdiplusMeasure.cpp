// Text measured as GDI+ measures it, on top of the engine's measuring.
#include <algorithm>
#include <vector>

#include "../Gdiplus.h"
#include "../GdiplusRegion.h"
#include "../engine/TextLock.h"
#include "../engine/WholeText.h"

namespace Gdiplus {

namespace {

DllExports::GpFont* NativeOf(const Font* font) { return font ? font->NativeFont() : nullptr; }
DllExports::GpStringFormat* NativeOf(const StringFormat* format) { return format ? format->NativeFormat() : nullptr; }

// Wider and taller than any layout: the extent of a side that sets no limit.
constexpr REAL kUnbounded = 1 << 22;

// The string's length in UTF-16 units: the one given, or up to its NUL.
INT LengthOf(const WCHAR* text, INT length)
{
    if (!text || length >= 0) return std::max(length, 0);
    return static_cast<INT>(std::char_traits<char16_t>::length(text));
}

// GDI+ lays text out without limit along a side of the layout that is empty; the engine fits nothing
// into it. The same layout with each empty side unbounded.
RectF WithEmptySidesUnbounded(const RectF& layout)
{
    RectF unbounded = layout;
    if (unbounded.Width <= 0) unbounded.Width = kUnbounded;
    if (unbounded.Height <= 0) unbounded.Height = kUnbounded;
    return unbounded;
}

INT FlagsOf(const StringFormat* format) { return format ? format->GetFormatFlags() : 0; }

// GDI+ cuts an unwrapped line at the layout's width, unless told not to clip; the engine lets it run on.
bool CutsAtWidth(const StringFormat* format, const RectF& layout)
{
    const INT flags = FlagsOf(format);
    return (flags & StringFormatFlagsNoWrap) && !(flags & StringFormatFlagsNoClip) && layout.Width > 0;
}

// A prefix length that does not split a surrogate pair.
INT WholeCharacters(const WCHAR* text, INT count)
{
    return count > 0 && text[count - 1] >= 0xD800 && text[count - 1] < 0xDC00 ? count - 1 : count;
}

}  // namespace

Status Graphics::MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                               const StringFormat* format, RectF* boundingBox, INT* codepointsFitted,
                               INT* linesFilled) const
{
    // The engine crashes measuring into no box; GDI+ refuses it, and a missing string or font.
    if (!string || !font || !boundingBox) return SetStatus(InvalidParameter);
    if (MeasureStringByLayer(string, length, font, layoutRect, format, boundingBox, codepointsFitted, linesFilled))
        return SetStatus(Ok);
    const auto lock = LockEngineText();
    const WholeText whole(string, length);
    INT fitted = 0, lines = 0;
    const RectF unbounded = WithEmptySidesUnbounded(layoutRect);
    const bool hasEmptySide = unbounded.Width != layoutRect.Width || unbounded.Height != layoutRect.Height;
    // The box is the layout's own; the counts, where a side is empty, come from the unbounded layout.
    Status status = EngineMeasure(whole.Get(), length, font, layoutRect, format, boundingBox,
                                  hasEmptySide ? nullptr : &fitted, hasEmptySide ? nullptr : &lines);
    RectF unboundedBox;
    if (status == Ok && hasEmptySide)
        status = EngineMeasure(whole.Get(), length, font, unbounded, format, &unboundedBox, &fitted, &lines);
    if (status == Ok && boundingBox && CutsAtWidth(format, layoutRect) && boundingBox->Width > layoutRect.Width)
        status =
            CutAtWidth(whole.Get(), LengthOf(string, length), font, layoutRect, format, boundingBox, &fitted, &lines);
    if (codepointsFitted && status == Ok) *codepointsFitted = fitted;
    if (linesFilled && status == Ok) *linesFilled = lines;
    return SetStatus(status);
}

Status Graphics::EngineMeasure(const WCHAR* text, INT length, const Font* font, const RectF& layout,
                               const StringFormat* format, RectF* box, INT* fitted, INT* lines) const
{
    return DllExports::GdipMeasureString(nativeGraphics, text, length, NativeOf(font), &layout, NativeOf(format), box,
                                         fitted, lines);
}

Status Graphics::CutAtWidth(const WCHAR* text, INT length, const Font* font, const RectF& layout,
                            const StringFormat* format, RectF* box, INT* fitted, INT* lines) const
{
    // The longest prefix whose line fits the width (widths grow with the prefix).
    const RectF open(layout.X, layout.Y, kUnbounded, kUnbounded);
    INT fits = 0, tooLong = length;
    while (tooLong - fits > 1) {
        const INT middle = fits + (tooLong - fits) / 2;
        RectF prefix;
        const Status status = EngineMeasure(text, middle, font, open, format, &prefix, nullptr, nullptr);
        if (status != Ok) return status;
        (prefix.Width <= layout.Width ? fits : tooLong) = middle;
    }
    fits = WholeCharacters(text, fits);
    *fitted = fits;
    *lines = fits > 0 ? 1 : 0;
    if (fits == 0) {
        *box = RectF(layout.X, layout.Y, 0, 0);
        return Ok;
    }
    return EngineMeasure(text, fits, font, layout, format, box, nullptr, nullptr);
}

Status Graphics::MeasureCharacterRanges(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                                        const StringFormat* stringFormat, INT regionCount, Region* regions) const
{
    if (!string || !font || !stringFormat || !regions || regionCount < 0) return SetStatus(InvalidParameter);
    const INT ranges = stringFormat->GetMeasurableCharacterRangeCount();
    if (regionCount < ranges) return SetStatus(InvalidParameter);
    std::vector<DllExports::GpRegion*> natives;
    for (INT i = 0; i < ranges; ++i) {
        if (!regions[i].NativeRegion()) return SetStatus(InvalidParameter);
        natives.push_back(regions[i].NativeRegion());
        regions[i].shape.reset();  // the engine fills it: its data are the engine's
    }
    if (MeasureRangesByLayer(string, length, font, layoutRect, stringFormat, regions)) return SetStatus(Ok);
    const auto lock = LockEngineText();
    const WholeText whole(string, length);
    return SetStatus(DllExports::GdipMeasureCharacterRanges(nativeGraphics, whole.Get(), length, NativeOf(font),
                                                            &layoutRect, NativeOf(stringFormat), ranges,
                                                            natives.data()));
}

}  // namespace Gdiplus
