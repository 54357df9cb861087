// The characters of every installed face (TextCoverage.h).
#include "TextCoverage.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace Gdiplus {

namespace {

// The union of the character sets of every scalable face fontconfig lists; null when it lists none. Kept
// for the life of the process, like fontconfig's own configuration it is read from.
const FcCharSet* InstalledCharacters()
{
    static std::once_flag read;
    static FcCharSet* all = nullptr;
    std::call_once(read, [] {
        FcPattern* pattern = FcPatternCreate();
        FcObjectSet* wanted = FcObjectSetBuild(FC_CHARSET, FC_SCALABLE, nullptr);
        FcFontSet* fonts = pattern && wanted ? FcFontList(nullptr, pattern, wanted) : nullptr;
        FcCharSet* characters = fonts ? FcCharSetCreate() : nullptr;
        for (int i = 0; characters && i < fonts->nfont; ++i) {
            FcBool scalable = FcFalse;
            FcCharSet* own = nullptr;
            if (FcPatternGetBool(fonts->fonts[i], FC_SCALABLE, 0, &scalable) == FcResultMatch && scalable &&
                FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &own) == FcResultMatch)
                FcCharSetMerge(characters, own, nullptr);
        }
        if (characters && FcCharSetCount(characters) > 0) {
            all = characters;
        } else if (characters) {
            FcCharSetDestroy(characters);
        }
        if (fonts) FcFontSetDestroy(fonts);
        if (wanted) FcObjectSetDestroy(wanted);
        if (pattern) FcPatternDestroy(pattern);
    });
    return all;
}

}  // namespace

bool AnyFaceHas(char32_t character)
{
    const FcCharSet* all = InstalledCharacters();
    return !all || FcCharSetHasChar(all, character);
}

}  // namespace Gdiplus
