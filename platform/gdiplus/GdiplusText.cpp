// Font families, fonts and string formats.
#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "../win/Utf.h"
#include "Gdiplus.h"

// The engine finalises fontconfig when it shuts down, while its text layout (pango) still holds font
// data for the process, some of it from a thread of its own; fontconfig then aborts the process on exit.
// Fontconfig is left alone instead: the process's end returns what it holds.
extern "C" __attribute__((visibility("default"))) void FcFini(void) {}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PICTOR_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(PICTOR_ADDRESS_SANITIZER)
// What fontconfig keeps for the process is then still held at exit, by design.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so.1\n";
}
#endif

namespace Gdiplus {

namespace {

// True when an installed font carries the name among its family names (any language, as GDI+ accepts
// localised names too).
bool IsFamilyOfAnInstalledFont(const std::string& utf8)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, static_cast<char*>(nullptr));
    FcFontSet* fonts = objects ? FcFontList(nullptr, pattern, objects) : nullptr;
    const bool found = fonts && fonts->nfont > 0;
    if (fonts) FcFontSetDestroy(fonts);
    if (objects) FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

// The families that fontconfig's configuration puts in the name's place as the same face, bound as strongly
// as the name itself ("Liberation Sans" for "Arial": metric-compatible, so text keeps its layout), in
// fontconfig's order. Fallbacks that are merely similar come after them, weakly bound.
std::vector<std::string> SameFaceFamilies(const std::string& utf8)
{
    std::vector<std::string> families;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return families;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.c_str()));
    FcValue value;
    FcValueBinding nameBinding;
    if (FcConfigSubstitute(nullptr, pattern, FcMatchPattern) &&
        FcPatternGetWithBinding(pattern, FC_FAMILY, 0, &value, &nameBinding) == FcResultMatch) {
        FcValueBinding binding;
        for (int i = 1; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i)
            if (binding == nameBinding && value.type == FcTypeString)
                families.emplace_back(reinterpret_cast<const char*>(value.u.s));
    }
    FcPatternDestroy(pattern);
    return families;
}

// A Windows family name (Arial, Times New Roman, Courier New) is found when a font that fontconfig
// declares its metric-compatible substitute is installed; the engine then draws with that font.
bool AskFontconfig(const std::string& utf8)
{
    if (IsFamilyOfAnInstalledFont(utf8)) return true;
    for (const std::string& family : SameFaceFamilies(utf8))
        if (IsFamilyOfAnInstalledFont(family)) return true;
    return false;
}

// Text members look a family up on every call, so each name's answer is kept for the process: the
// fonts installed do not change under a running program. Canvases on other threads may ask at once.
bool IsInstalledFamily(const WCHAR* name)
{
    static std::mutex guard;
    static std::map<std::string, bool> known;
    const std::string utf8 = Utf16ToUtf8(name);
    std::lock_guard<std::mutex> lock(guard);
    auto found = known.find(utf8);
    if (found == known.end()) found = known.emplace(utf8, AskFontconfig(utf8)).first;
    return found->second;
}

}  // namespace

FontFamily::FontFamily(const WCHAR* name, const void*)
{
    // libgdiplus hands back its closest match for any name; GDI+ finds only families that are installed.
    if (SetStatus(DllExports::GdipCreateFontFamilyFromName(name, nullptr, &nativeFamily)) != Ok) return;
    if (IsInstalledFamily(name)) return;
    DllExports::GdipDeleteFontFamily(nativeFamily);
    nativeFamily = nullptr;
    SetStatus(FontFamilyNotFound);
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

Font::Font(const WCHAR* familyName, REAL emSize, INT style, Unit unit, const void* fontCollection)
{
    FontFamily named(familyName, fontCollection);
    const FontFamily* family = named.IsAvailable() ? &named : FontFamily::GenericSansSerif();
    SetStatus(DllExports::GdipCreateFont(family->NativeFamily(), emSize, style, unit, &nativeFont));
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
