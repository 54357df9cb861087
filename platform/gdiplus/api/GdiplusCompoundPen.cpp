// Compound pens on straight lines and rectangles: each band of the compound array drawn as a stroke of
// its own width at its own distance from the outline, so the gaps between bands stay undrawn, as in GDI+.
// The array's 0 lies on the left of the line's direction (outside a rectangle), its 1 on the right.
#include "CompoundPen.h"

#include <cmath>
#include <vector>

namespace Gdiplus {

namespace {

// The compound array of a pen this route draws; empty for any other pen.
std::vector<REAL> BandsOf(const Pen* pen)
{
    if (!pen || pen->GetPenType() != PenTypeSolidColor || pen->GetDashStyle() != DashStyleSolid ||
        pen->GetAlignment() != PenAlignmentCenter || pen->GetStartCap() != LineCapFlat ||
        pen->GetEndCap() != LineCapFlat)
        return {};
    const INT count = pen->GetCompoundArrayCount();
    if (count < 2 || count % 2) return {};
    std::vector<REAL> bands(static_cast<size_t>(count));
    if (pen->GetCompoundArray(bands.data(), count) != Ok) return {};
    return bands;
}

// Draws each band with draw(bandPen, offset): a plain pen of the band's width in the compound pen's
// colour and join, offset being how far the band's middle lies to the right of the outline. Stops at the
// first failure.
template <typename Draw> bool DrawBands(const Pen* pen, const std::vector<REAL>& bands, Status* status, Draw draw)
{
    Color colour;
    *status = pen->GetColor(&colour);
    for (size_t i = 0; i + 1 < bands.size() && *status == Ok; i += 2) {
        if (bands[i + 1] <= bands[i]) continue;  // a band of no width draws nothing
        Pen band(colour, (bands[i + 1] - bands[i]) * pen->GetWidth());
        band.SetLineJoin(pen->GetLineJoin());
        band.SetMiterLimit(pen->GetMiterLimit());
        *status = band.GetLastStatus();
        if (*status == Ok) *status = draw(band, ((bands[i] + bands[i + 1]) / 2 - 0.5f) * pen->GetWidth());
    }
    return true;
}

}  // namespace

bool DrawCompoundLine(Graphics& graphics, const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2, Status* status)
{
    const std::vector<REAL> bands = BandsOf(pen);
    const REAL length = std::hypot(x2 - x1, y2 - y1);
    if (bands.empty() || !(length > 0) || !std::isfinite(length)) return false;
    // The unit normal to the right of the direction (y grows downwards).
    const REAL nx = -(y2 - y1) / length, ny = (x2 - x1) / length;
    return DrawBands(pen, bands, status, [&](const Pen& band, REAL offset) {
        return graphics.DrawLine(&band, x1 + nx * offset, y1 + ny * offset, x2 + nx * offset, y2 + ny * offset);
    });
}

bool DrawCompoundRectangle(Graphics& graphics, const Pen* pen, const RectF& rect, Status* status)
{
    const std::vector<REAL> bands = BandsOf(pen);
    if (bands.empty() || !(rect.Width > 0) || !(rect.Height > 0)) return false;
    return DrawBands(pen, bands, status, [&](const Pen& band, REAL offset) {
        // A rectangle runs clockwise: the right of its outline is its inside.
        RectF shifted(rect.X + offset, rect.Y + offset, rect.Width - 2 * offset, rect.Height - 2 * offset);
        if (!(shifted.Width > 0) || !(shifted.Height > 0)) return Ok;
        return graphics.DrawRectangle(&band, shifted);
    });
}

}  // namespace Gdiplus
