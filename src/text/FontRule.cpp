// The one way every text member turns a family name, a size and a style into a font.
#include "TextSupport.h"

namespace pictor {

namespace {

std::unique_ptr<Gdiplus::Font> FontOf(const Gdiplus::FontFamily* family, int emSize, int style)
{
    return std::make_unique<Gdiplus::Font>(family, static_cast<Gdiplus::REAL>(emSize), style, Gdiplus::UnitPixel);
}

}  // namespace

std::unique_ptr<Gdiplus::Font> MakeTextFont(const CString& family, int emSize, int style)
{
    // Installed fonts only; the looked-up family goes when this returns, the font keeps what it needs.
    Gdiplus::FontFamily named(family.GetString());
    const Gdiplus::FontFamily* chosen = &named;
    if (!named.IsAvailable()) {
        chosen = Gdiplus::FontFamily::GenericSansSerif();
        if (!chosen->IsAvailable()) return FontOf(nullptr, emSize, style);
    }

    std::unique_ptr<Gdiplus::Font> font = FontOf(chosen, emSize, style);
    if (font->IsAvailable()) return font;

    // A family may lack the style asked for; the generic family gets one more try, and its outcome stands.
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (generic->IsAvailable()) font = FontOf(generic, emSize, style);
    return font;
}

}  // namespace pictor
