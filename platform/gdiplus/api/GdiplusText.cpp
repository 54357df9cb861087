// Font families, fonts and string formats.
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "../../win/Utf.h"
#include "../Gdiplus.h"
#include "../engine/TextLock.h"

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

std::unique_lock<std::mutex> LockEngineText()
{
    static std::mutex engineText;
    return std::unique_lock<std::mutex>(engineText);
}

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

enum class Found { Nowhere, Itself, StandIn };

// Windows faces for which fontconfig declares no metric-compatible family, each with the installed face
// nearest to it in metrics. Lucida Console's advance (0.602 em) is DejaVu Sans Mono's; Consolas's
// (0.550 em) is nearer Liberation Mono's 0.600 than DejaVu Sans Mono's 0.602. Verdana and DejaVu Sans
// share Bitstream Vera's wide design; Tahoma and Segoe UI are humanist sans faces nearer it than
// Liberation Sans. Malgun Gothic's Hangul is drawn by NanumGothic.
const struct {
    const char* windows;
    const char* nearest;
} kNearestFaces[] = {{"Lucida Console", "DejaVu Sans Mono"},
                     {"Consolas", "Liberation Mono"},
                     {"Tahoma", "DejaVu Sans"},
                     {"Segoe UI", "DejaVu Sans"},
                     {"Verdana", "DejaVu Sans"},
                     {"Malgun Gothic", "NanumGothic"}};

// The installed face standing in for a Windows name without a metric-compatible family; empty if none.
std::string NearestFaceFor(const std::string& utf8)
{
    for (const auto& face : kNearestFaces)
        if (utf8 == face.windows && IsFamilyOfAnInstalledFont(face.nearest)) return face.nearest;
    return {};
}

// A Windows family name (Arial, Times New Roman, Courier New) is found when a font that fontconfig
// declares its metric-compatible substitute is installed; the engine then draws with that font. The
// other common Windows faces find the nearest installed face of kNearestFaces.
Found AskFontconfig(const std::string& utf8, std::string& standIn)
{
    if (IsFamilyOfAnInstalledFont(utf8)) return Found::Itself;
    for (const std::string& family : SameFaceFamilies(utf8))
        if (IsFamilyOfAnInstalledFont(family)) return Found::StandIn;
    standIn = NearestFaceFor(utf8);
    return standIn.empty() ? Found::Nowhere : Found::StandIn;
}

// Text members look a family up on every call, so answers are kept: the fonts installed do not change
// under a running program. A program that asks for ever new names must not grow without end, so the
// answers are dropped whenever kKnownFamilies of them have gathered.
const size_t kKnownFamilies = 256;

// How a family name was found, and the name to hand the engine for it.
struct Lookup {
    Found found = Found::Nowhere;
    std::u16string engineName;  // empty: the name itself
};

Lookup FindInstalledFamily(const WCHAR* name)
{
    static std::mutex guard;
    static std::map<std::string, Lookup> known;
    const std::string utf8 = Utf16ToUtf8(name);
    std::lock_guard<std::mutex> lock(guard);
    auto found = known.find(utf8);
    if (found != known.end()) return found->second;
    if (known.size() >= kKnownFamilies) known.clear();
    std::string standIn;
    Lookup lookup;
    lookup.found = AskFontconfig(utf8, standIn);
    if (!standIn.empty()) lookup.engineName = Utf8ToUtf16(standIn);
    return known.emplace(utf8, lookup).first->second;
}

// Family names are face names, at most LF_FACESIZE - 1 characters in GDI+; a longer name is no family.
bool IsFaceNameLength(const WCHAR* name)
{
    for (int i = 0; i < LF_FACESIZE; ++i)
        if (!name[i]) return true;
    return false;
}

}  // namespace

FontFamily::FontFamily(const WCHAR* name, const FontCollection* fontCollection)
{
    // A private collection holds its own families: the engine looks the name up there only.
    if (name && fontCollection && dynamic_cast<const PrivateFontCollection*>(fontCollection)) {
        const auto lock = LockEngineText();
        SetStatus(DllExports::GdipCreateFontFamilyFromName(name, fontCollection->NativeCollection(), &nativeFamily));
        return;
    }
    // libgdiplus hands back its closest match for any name, and keeps every name it was asked for until
    // it shuts down; GDI+ finds only families that are installed. Only those reach the engine.
    const Lookup lookup = name && IsFaceNameLength(name) ? FindInstalledFamily(name) : Lookup{};
    if (lookup.found == Found::Nowhere) {
        SetStatus(name ? FontFamilyNotFound : InvalidParameter);
        return;
    }
    // GDI+ reports the Windows name; the engine would report the family standing in for it.
    if (lookup.found == Found::StandIn) standInFor = name;
    const WCHAR* engineName = lookup.engineName.empty() ? name : lookup.engineName.c_str();
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipCreateFontFamilyFromName(engineName, nullptr, &nativeFamily));
}

FontFamily::~FontFamily()
{
    const auto lock = LockEngineText();
    if (nativeFamily) DllExports::GdipDeleteFontFamily(nativeFamily);
}

const FontFamily* FontFamily::GenericSansSerif()
{
    // Kept for the life of the process, as GDI+ keeps its generic families.
    static FontFamily* family = [] {
        FontFamily* f = new FontFamily();
        const auto lock = LockEngineText();
        f->SetStatus(DllExports::GdipGetGenericFontFamilySansSerif(&f->nativeFamily));
        return f;
    }();
    return family;
}

Status FontFamily::GetFamilyName(WCHAR name[LF_FACESIZE], LANGID language) const
{
    if (nativeFamily && name && !standInFor.empty()) {
        standInFor.copy(name, LF_FACESIZE - 1);
        name[std::min<size_t>(standInFor.size(), LF_FACESIZE - 1)] = 0;
        return SetStatus(Ok);
    }
    const auto lock = LockEngineText();
    return SetStatus(DllExports::GdipGetFamilyName(nativeFamily, name, language));
}

Font::Font(const FontFamily* family, REAL emSize, INT style, Unit unit)
{
    const auto lock = LockEngineText();
    SetStatus(DllExports::GdipCreateFont(family ? family->NativeFamily() : nullptr, emSize, style, unit, &nativeFont));
}

Font::Font(const WCHAR* familyName, REAL emSize, INT style, Unit unit, const FontCollection* fontCollection)
{
    FontFamily named(familyName, fontCollection);
    const FontFamily* family = named.IsAvailable() ? &named : FontFamily::GenericSansSerif();
    const auto lock = LockEngineText();  // let go before the family goes
    SetStatus(DllExports::GdipCreateFont(family->NativeFamily(), emSize, style, unit, &nativeFont));
}

Font::~Font()
{
    const auto lock = LockEngineText();
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
