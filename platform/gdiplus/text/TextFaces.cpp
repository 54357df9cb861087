// Font files found by fontconfig and opened once for every thread (TextFaces.h).
#include "TextFaces.h"

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <map>
#include <tuple>
#include <utility>

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "../GdiplusTypes.h"

namespace Gdiplus {

namespace {

// FreeType's library: making and ending faces goes through it, under this lock.
struct OutlineLibrary {
    std::mutex lock;
    FT_Library library = nullptr;
    OutlineLibrary() { FT_Init_FreeType(&library); }
};

OutlineLibrary& Library()
{
    // Kept for the life of the process: faces still held at exit end through it.
    static OutlineLibrary* library = new OutlineLibrary;
    return *library;
}

// The faces open, at most kOpenFaces of them: past that, those no drawing holds are let go.
const size_t kOpenFaces = 32;

}  // namespace

std::shared_ptr<TextFace> TextFace::Open(const std::string& file, int index)
{
    static std::mutex guard;
    static auto* open = new std::map<std::pair<std::string, int>, std::shared_ptr<TextFace>>;
    static std::atomic<uint32_t> lastId{0};
    const std::lock_guard<std::mutex> lock(guard);
    const auto key = std::make_pair(file, index);
    if (auto found = open->find(key); found != open->end()) return found->second;
    if (open->size() >= kOpenFaces)
        std::erase_if(*open, [](const auto& entry) { return entry.second.use_count() == 1; });

    std::shared_ptr<TextFace> face(new TextFace);
    face->blob = hb_blob_create_from_file_or_fail(file.c_str());
    if (!face->blob) return nullptr;
    face->shapingFace = hb_face_create(face->blob, static_cast<unsigned>(index));
    face->unitsPerEm = static_cast<int>(hb_face_get_upem(face->shapingFace));
    face->shaper = hb_font_create(face->shapingFace);
    hb_font_set_scale(face->shaper, face->unitsPerEm, face->unitsPerEm);
    hb_font_make_immutable(face->shaper);
    {
        OutlineLibrary& library = Library();
        const std::lock_guard<std::mutex> made(library.lock);
        if (!library.library || FT_New_Face(library.library, file.c_str(), index, &face->face) != 0) {
            face->face = nullptr;
            return nullptr;
        }
    }
    if (!FT_IS_SCALABLE(face->face) || face->unitsPerEm <= 0) return nullptr;
    face->id = ++lastId;
    return open->emplace(key, face).first->second;
}

TextFace::~TextFace()
{
    if (face) {
        OutlineLibrary& library = Library();
        const std::lock_guard<std::mutex> ended(library.lock);
        FT_Done_Face(face);
    }
    if (shaper) hb_font_destroy(shaper);
    if (shapingFace) hb_face_destroy(shapingFace);
    if (blob) hb_blob_destroy(blob);
}

namespace {

// fontconfig's best match for the family in the style, holding the character when one is given.
FcPattern* BestMatch(const std::string& familyUtf8, int weight, int slant, char32_t character)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight);
    FcPatternAddInteger(pattern, FC_SLANT, slant);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (character != 0) {
        FcCharSet* characters = FcCharSetCreate();
        if (characters && FcCharSetAddChar(characters, character)) FcPatternAddCharSet(pattern, FC_CHARSET, characters);
        if (characters) FcCharSetDestroy(characters);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    return match;
}

int WeightOf(int style) { return (style & FontStyleBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR; }
int SlantOf(int style) { return (style & FontStyleItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN; }

// Fallbacks asked for, kept until kKnownFallbacks have gathered (then forgotten all at once).
const size_t kKnownFallbacks = 4096;

}  // namespace

std::shared_ptr<TextFace> FallbackFace(const std::string& familyUtf8, int style, char32_t character)
{
    static std::mutex guard;
    static auto* known = new std::map<std::tuple<std::string, int, char32_t>, std::pair<std::string, int>>;
    const auto key = std::make_tuple(familyUtf8, style, character);
    std::pair<std::string, int> file;
    {
        const std::lock_guard<std::mutex> lock(guard);
        if (auto found = known->find(key); found != known->end()) {
            file = found->second;
        } else {
            if (known->size() >= kKnownFallbacks) known->clear();
            FcPattern* match = BestMatch(familyUtf8, WeightOf(style), SlantOf(style), character);
            FcChar8* path = nullptr;
            FcCharSet* characters = nullptr;
            if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
                FcPatternGetInteger(match, FC_INDEX, 0, &file.second) == FcResultMatch &&
                FcPatternGetCharSet(match, FC_CHARSET, 0, &characters) == FcResultMatch &&
                FcCharSetHasChar(characters, character))
                file.first = reinterpret_cast<const char*>(path);
            if (match) FcPatternDestroy(match);
            known->emplace(key, file);
        }
    }
    return file.first.empty() ? nullptr : TextFace::Open(file.first, file.second);
}

namespace {

// The file and index of a font fontconfig gave, when it is scalable, and the bold and italic bits of
// `style` its weight and slant lack.
bool ScalableFile(FcPattern* font, int style, std::string* file, int* index, int* synthetic)
{
    FcChar8* path = nullptr;
    FcBool scalable = FcFalse;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch ||
        FcPatternGetInteger(font, FC_INDEX, 0, index) != FcResultMatch ||
        FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable)
        return false;
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    // A match fontconfig has made up the style for says so (embolden, a slanting matrix); a font of the
    // sorted list has its own weight and slant.
    FcBool embolden = FcFalse;
    FcMatrix* matrix = nullptr;
    FcPatternGetBool(font, FC_EMBOLDEN, 0, &embolden);
    const bool slanted = FcPatternGetMatrix(font, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix->xy != 0;
    *file = reinterpret_cast<const char*>(path);
    *synthetic = ((style & FontStyleBold) && (embolden || weight < FC_WEIGHT_DEMIBOLD) ? FontStyleBold : 0) |
                 ((style & FontStyleItalic) && (slanted || slant == FC_SLANT_ROMAN) ? FontStyleItalic : 0);
    return true;
}

// The first scalable font of those fontconfig sorts nearest to the family, weight and slant.
bool NearestScalable(const std::string& familyUtf8, int style, std::string* file, int* index, int* synthetic)
{
    const int weight = WeightOf(style), slant = SlantOf(style);
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight);
    FcPatternAddInteger(pattern, FC_SLANT, slant);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    bool found = false;
    for (int i = 0; sorted && i < sorted->nfont && !found; ++i)
        found = ScalableFile(sorted->fonts[i], style, file, index, synthetic);
    if (sorted) FcFontSetDestroy(sorted);
    return found;
}

}  // namespace

bool MatchFace(const std::string& familyUtf8, int style, std::string* file, int* index, int* synthetic)
{
    FcPattern* match = BestMatch(familyUtf8, WeightOf(style), SlantOf(style), 0);
    const bool found = match && ScalableFile(match, style, file, index, synthetic);
    if (match) FcPatternDestroy(match);
    return found || NearestScalable(familyUtf8, style, file, index, synthetic);
}

void SynthesiseStyle(FT_Outline* outline, int synthetic, FT_Pos em)
{
    if (synthetic & FontStyleBold) FT_Outline_EmboldenXY(outline, em / 24, em / 24);
    if (synthetic & FontStyleItalic) {
        FT_Matrix slant{0x10000, 0x0366A, 0, 0x10000};
        FT_Outline_Transform(outline, &slant);
    }
}

}  // namespace Gdiplus
