// Font files found by fontconfig and opened once for every thread (TextFaces.h).
#include "TextFaces.h"

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <map>
#include <utility>

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

bool MatchFace(const std::string& familyUtf8, int style, std::string* file, int* index)
{
    const int weight = (style & FontStyleBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
    const int slant = (style & FontStyleItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight);
    FcPatternAddInteger(pattern, FC_SLANT, slant);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* path = nullptr;
    int matchedWeight = -1, matchedSlant = -1;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
                       FcPatternGetInteger(match, FC_INDEX, 0, index) == FcResultMatch &&
                       FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight) == FcResultMatch &&
                       FcPatternGetInteger(match, FC_SLANT, 0, &matchedSlant) == FcResultMatch &&
                       matchedWeight == weight && matchedSlant == slant;
    if (found) *file = reinterpret_cast<const char*>(path);
    FcPatternDestroy(match);
    return found;
}

}  // namespace Gdiplus
