// The one way every text member turns a family name, a size and a style into a font.
#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>

#include "TextSupport.h"

namespace pictor {

namespace {

std::shared_ptr<Gdiplus::Font> FontOf(const Gdiplus::FontFamily* family, int emSize, int style)
{
    return std::make_shared<Gdiplus::Font>(family, static_cast<Gdiplus::REAL>(emSize), style, Gdiplus::UnitPixel);
}

std::shared_ptr<Gdiplus::Font> BuildTextFont(const CString& family, int emSize, int style)
{
    // Installed fonts only; the looked-up family goes when this returns, the font keeps what it needs.
    Gdiplus::FontFamily named(family.GetString());
    const Gdiplus::FontFamily* chosen = &named;
    if (!named.IsAvailable()) {
        chosen = Gdiplus::FontFamily::GenericSansSerif();
        if (!chosen->IsAvailable()) return FontOf(nullptr, emSize, style);
    }

    std::shared_ptr<Gdiplus::Font> font = FontOf(chosen, emSize, style);
    if (font->IsAvailable()) return font;

    // A family may lack the style asked for; the generic family gets one more try, and its outcome stands.
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (generic->IsAvailable()) font = FontOf(generic, emSize, style);
    return font;
}

// The engine reads a family name up to its first NUL, and no family is found by a name of LF_FACESIZE or
// more characters: the key keeps only what can matter, so a long name is kept no larger than a short one.
std::u16string FamilyKey(const CString& family)
{
    std::u16string_view name(family.GetString(), static_cast<size_t>(family.GetLength()));
    return std::u16string(name.substr(0, std::min(name.find(u'\0'), static_cast<size_t>(LF_FACESIZE))));
}

// Text members build the same few fonts over and over, and the engine copies the family for every new
// font, so fonts are kept by family name, size and style. A program that asks for ever new ones must not
// grow without end: they are dropped whenever kKeptFonts have gathered (a font in use stays with its user).
const size_t kKeptFonts = 64;

}  // namespace

std::shared_ptr<Gdiplus::Font> MakeTextFont(const CString& family, int emSize, int style)
{
    using Key = std::tuple<std::u16string, int, int>;
    // Kept for the life of the process, as the engine's generic family is: fonts must not outlive the
    // engine's own locks at exit.
    static std::mutex* guard = new std::mutex;
    static auto* kept = new std::map<Key, std::shared_ptr<Gdiplus::Font>>;
    Key key(FamilyKey(family), emSize, style);
    std::lock_guard<std::mutex> lock(*guard);
    auto found = kept->find(key);
    if (found != kept->end()) return found->second;
    if (kept->size() >= kKeptFonts) kept->clear();
    return kept->emplace(std::move(key), BuildTextFont(family, emSize, style)).first->second;
}

}  // namespace pictor
