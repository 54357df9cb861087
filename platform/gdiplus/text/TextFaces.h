// The faces the layer lays text out and draws it with: a font file found by fontconfig, opened once for the
// process as a HarfBuzz face (shaping, which needs no lock) and a FreeType face (outlines, used under the
// face's own lock). Nothing here takes the engine's text lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

#include "../GdiplusTypes.h"

namespace Gdiplus {

class TextFace {
public:
    // The face of the file, opened or shared from those already open; null when it cannot be read.
    static std::shared_ptr<TextFace> Open(const std::string& file, int index);
    ~TextFace();
    TextFace(const TextFace&) = delete;
    TextFace& operator=(const TextFace&) = delete;

    // Shapes in font design units; HarfBuzz fonts may be shared by threads once made.
    hb_font_t* Shaper() const { return shaper; }
    int UnitsPerEm() const { return unitsPerEm; }
    // A number no other face open in the process carries, for the glyph cache's keys.
    uint32_t Id() const { return id; }

    // FreeType's face, to be used only while the returned lock is held.
    std::unique_lock<std::mutex> Lock() const { return std::unique_lock<std::mutex>(outlineLock); }
    FT_Face Outlines() const { return face; }

private:
    TextFace() = default;
    hb_blob_t* blob = nullptr;
    hb_face_t* shapingFace = nullptr;
    hb_font_t* shaper = nullptr;
    FT_Face face = nullptr;
    int unitsPerEm = 0;
    uint32_t id = 0;
    mutable std::mutex outlineLock;
};

// The file and face index of the scalable face fontconfig picks for a family with a weight and slant
// (FontStyle bits), as the engine's pango asks it: GDI+ knows only outline fonts, so a family fontconfig
// has only as bitmaps, or not at all, gets the nearest scalable face, and a style the family lacks its
// nearest face, and `synthetic` the FontStyleBold and FontStyleItalic bits asked for that the face lacks
// (GDI+ makes them up); false only when no scalable face is installed.
bool MatchFace(const std::string& familyUtf8, int style, std::string* file, int* index, int* synthetic);

// Makes the outline up in the synthetic style (FontStyleBold: emboldened by a 24th of the em on each axis;
// FontStyleItalic: slanted by about 12 degrees), as FreeType's own emboldening and oblique do; `em` is the
// em in the outline's units.
void SynthesiseStyle(FT_Outline* outline, int synthetic, FT_Pos em);

// The face fontconfig picks for a character that the family's own face lacks (as pango falls back to
// it); null when no installed face has it.
std::shared_ptr<TextFace> FallbackFace(const std::string& familyUtf8, int style, char32_t character);

}  // namespace Gdiplus

namespace Gdiplus {

// A Font as the layer lays it out: its face, its size and unit, and the family's design metrics as the
// engine reports them (GDI+'s cell ascent and line spacing), so that lines keep the engine's spacing.
struct LayerFont {
    std::shared_ptr<TextFace> face;
    std::string family;  // as fontconfig knows it, for faces to fall back to
    float size = 0;
    Unit unit = UnitPixel;
    int style = 0;
    int synthetic = 0;  // the bold and italic bits the face lacks, made up when drawn
    float emHeight = 0, cellAscent = 0, lineSpacing = 0;
};

}  // namespace Gdiplus
