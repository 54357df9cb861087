// Font families, fonts and string formats.
#include "Gdiplus.h"

namespace Gdiplus {

FontFamily::FontFamily(const WCHAR* name, const void*)
{
    SetStatus(DllExports::GdipCreateFontFamilyFromName(name, nullptr, &nativeFamily));
}

FontFamily::~FontFamily()
{
    if (nativeFamily) DllExports::GdipDeleteFontFamily(nativeFamily);
}

const FontFamily* FontFamily::GenericSansSerif()
{
    // Kept for the life of the process, as GDI+ keeps its generic families.
    static FontFamily* family = [] {
        FontFamily* f = new FontFamily();
        f->SetStatus(DllExports::GdipGetGenericFontFamilySansSerif(&f->nativeFamily));
        return f;
    }();
    return family;
}

Status FontFamily::GetFamilyName(WCHAR name[LF_FACESIZE], LANGID language) const
{
    return SetStatus(DllExports::GdipGetFamilyName(nativeFamily, name, language));
}

Font::Font(const FontFamily* family, REAL emSize, INT style, Unit unit)
{
    SetStatus(DllExports::GdipCreateFont(family ? family->NativeFamily() : nullptr, emSize, style, unit, &nativeFont));
}

Font::~Font()
{
    if (nativeFont) DllExports::GdipDeleteFont(nativeFont);
}

REAL Font::GetSize() const
{
    REAL size = 0;
    SetStatus(DllExports::GdipGetFontSize(nativeFont, &size));
    return size;
}

INT Font::GetStyle() const
{
    INT style = 0;
    SetStatus(DllExports::GdipGetFontStyle(nativeFont, &style));
    return style;
}

StringFormat::StringFormat(INT formatFlags, LANGID language)
{
    SetStatus(DllExports::GdipCreateStringFormat(formatFlags, language, &nativeFormat));
}

StringFormat::~StringFormat()
{
    if (nativeFormat) DllExports::GdipDeleteStringFormat(nativeFormat);
}

Status StringFormat::SetAlignment(StringAlignment align)
{
    return SetStatus(DllExports::GdipSetStringFormatAlign(nativeFormat, align));
}

Status StringFormat::SetLineAlignment(StringAlignment align)
{
    return SetStatus(DllExports::GdipSetStringFormatLineAlign(nativeFormat, align));
}

StringAlignment StringFormat::GetAlignment() const
{
    StringAlignment align = StringAlignmentNear;
    SetStatus(DllExports::GdipGetStringFormatAlign(nativeFormat, &align));
    return align;
}

StringAlignment StringFormat::GetLineAlignment() const
{
    StringAlignment align = StringAlignmentNear;
    SetStatus(DllExports::GdipGetStringFormatLineAlign(nativeFormat, &align));
    return align;
}

}  // namespace Gdiplus
