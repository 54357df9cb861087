// Glyph outlines read from FreeType in design units and scaled to the layout's em (TextOutline.h).
#include "TextOutline.h"

#include <algorithm>

#include "TextFaces.h"
#include FT_OUTLINE_H

namespace Gdiplus {

namespace {

// Appends the glyph's outline, at the em size with its origin at (x, y) in world units, as path figures.
struct OutlineSink {
    std::vector<PointF>* points;
    std::vector<BYTE>* types;
    float x, y, scale;
    bool turned;  // a quarter turn clockwise (vertical text)
    FT_Vector last{};
    PointF At(const FT_Vector* v) const
    {
        if (turned) return PointF(x + float(v->y) * scale, y + float(v->x) * scale);
        return PointF(x + float(v->x) * scale, y - float(v->y) * scale);
    }
    void Close()
    {
        if (!types->empty() && !(types->back() & PathPointTypeCloseSubpath)) types->back() |= PathPointTypeCloseSubpath;
    }
};

int MoveTo(const FT_Vector* to, void* user)
{
    auto* sink = static_cast<OutlineSink*>(user);
    sink->Close();
    sink->points->push_back(sink->At(to));
    sink->types->push_back(PathPointTypeStart);
    sink->last = *to;
    return 0;
}

int LineTo(const FT_Vector* to, void* user)
{
    auto* sink = static_cast<OutlineSink*>(user);
    sink->points->push_back(sink->At(to));
    sink->types->push_back(PathPointTypeLine);
    sink->last = *to;
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    auto* sink = static_cast<OutlineSink*>(user);
    for (const FT_Vector* v : {c1, c2, to}) {
        sink->points->push_back(sink->At(v));
        sink->types->push_back(PathPointTypeBezier);
    }
    sink->last = *to;
    return 0;
}

// A quadratic curve as the cubic that draws it.
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto* sink = static_cast<OutlineSink*>(user);
    const FT_Vector from = sink->last;
    const FT_Vector c1{from.x + 2 * (control->x - from.x) / 3, from.y + 2 * (control->y - from.y) / 3};
    const FT_Vector c2{to->x + 2 * (control->x - to->x) / 3, to->y + 2 * (control->y - to->y) / 3};
    return CubicTo(&c1, &c2, to, user);
}

}  // namespace

void UnderlineFigures(const LaidText& laid, const RectF* clip, std::vector<PointF>* points, std::vector<BYTE>* types)
{
    for (RectF line : laid.underlines) {
        if (clip) {
            const REAL left = std::max(line.X, clip->X), right = std::min(line.GetRight(), clip->GetRight());
            const REAL top = std::max(line.Y, clip->Y), bottom = std::min(line.GetBottom(), clip->GetBottom());
            if (left >= right || top >= bottom) continue;
            line = RectF(left, top, right - left, bottom - top);
        }
        const size_t first = points->size();
        for (const PointF& corner : {PointF(line.X, line.Y), PointF(line.GetRight(), line.Y),
                                     PointF(line.GetRight(), line.GetBottom()), PointF(line.X, line.GetBottom())}) {
            points->push_back(corner);
            types->push_back(points->size() - 1 == first ? PathPointTypeStart : PathPointTypeLine);
        }
        types->back() |= PathPointTypeCloseSubpath;
    }
}

bool GlyphOutlines(const LaidText& laid, const std::vector<size_t>& which, std::vector<PointF>* points,
                   std::vector<BYTE>* types)
{
    const FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    for (size_t i : which) {
        const PlacedGlyph& glyph = laid.glyphs[i];
        const TextFace& face = *glyph.face;
        const auto lock = face.Lock();
        if (FT_Load_Glyph(face.Outlines(), glyph.glyph, FT_LOAD_NO_SCALE) != 0 ||
            face.Outlines()->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return false;
        // A style the font's own face lacks is made up on its glyphs, not on those of faces fallen back to.
        if (laid.font && &face == laid.font->face.get())
            SynthesiseStyle(&face.Outlines()->glyph->outline, laid.font->synthetic, FT_Pos(face.UnitsPerEm()));
        OutlineSink sink{points, types, glyph.x, glyph.y, laid.emSize / float(face.UnitsPerEm()), glyph.turned};
        if (FT_Outline_Decompose(&face.Outlines()->glyph->outline, &funcs, &sink) != 0) return false;
        sink.Close();
    }
    return true;
}

}  // namespace Gdiplus
