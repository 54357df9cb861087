// A path's bounds as GDI+ gives them: the box around the path's points (Bezier control points
// included), its corners mapped by the matrix, widened on every side by a pen's estimated reach.
// libgdiplus measures the curves themselves and widens the path by the pen, which gives other boxes.
#include <algorithm>
#include <cmath>
#include <vector>

#include "../Gdiplus.h"

namespace Gdiplus {

namespace {

// GDI+ counts an anchor cap as reaching 2.2 pen widths from the path's points.
constexpr REAL kAnchorReachInWidths = 2.2f;

bool IsAnchor(LineCap cap) { return cap >= LineCapNoAnchor && cap <= LineCapArrowAnchor; }

bool IsMitered(LineJoin join) { return join == LineJoinMiter || join == LineJoinMiterClipped; }

// How far GDI+ takes a stroke to reach past the path's points, in the pen's world units.
REAL PenReach(const Pen& pen, INT pointCount)
{
    const REAL width = pen.GetWidth();
    REAL reach = width / 2;
    if (pointCount > 2 && IsMitered(pen.GetLineJoin())) reach = std::max(reach, width * pen.GetMiterLimit() / 2);
    if (IsAnchor(pen.GetStartCap()) || IsAnchor(pen.GetEndCap())) reach = std::max(reach, width * kAnchorReachInWidths);
    return reach;
}

// The most the matrix stretches any direction (its largest singular value).
REAL LargestStretch(const Matrix& matrix)
{
    REAL m[6] = {1, 0, 0, 1, 0, 0};
    if (matrix.GetElements(m) != Ok) return 1;
    const double a = m[0], b = m[1], c = m[2], d = m[3];
    const double sum = a * a + b * b + c * c + d * d;
    const double det = a * d - b * c;
    const double root = std::sqrt(std::max(0.0, sum * sum - 4 * det * det));
    return static_cast<REAL>(std::sqrt((sum + root) / 2));
}

// The box around the points, each mapped by the elements m (identity when null).
RectF BoxAround(const PointF* points, size_t count, const REAL* m)
{
    REAL left = 0, top = 0, right = 0, bottom = 0;
    for (size_t i = 0; i < count; ++i) {
        const PointF& p = points[i];
        const REAL x = m ? m[0] * p.X + m[2] * p.Y + m[4] : p.X;
        const REAL y = m ? m[1] * p.X + m[3] * p.Y + m[5] : p.Y;
        left = i ? std::min(left, x) : x;
        right = i ? std::max(right, x) : x;
        top = i ? std::min(top, y) : y;
        bottom = i ? std::max(bottom, y) : y;
    }
    return RectF(left, top, right - left, bottom - top);
}

INT RoundToInt(REAL value) { return static_cast<INT>(std::floor(value + 0.5f)); }

}  // namespace

Status GraphicsPath::GetBounds(RectF* bounds, const Matrix* matrix, const Pen* pen) const
{
    if (!bounds) return SetStatus(InvalidParameter);
    REAL m[6] = {1, 0, 0, 1, 0, 0};
    const Status matrixStatus = matrix ? matrix->GetElements(m) : Ok;
    if (matrixStatus != Ok) return SetStatus(matrixStatus);
    const INT count = std::max(0, GetPointCount());
    std::vector<PointF> points(static_cast<size_t>(count));
    const Status pointsStatus = count ? GetPathPoints(points.data(), count) : Ok;
    if (pointsStatus != Ok) return pointsStatus;
    // GDI+ maps the corners of the box around the points, not the points themselves.
    const RectF box = BoxAround(points.data(), points.size(), nullptr);
    const PointF corners[] = {
        {box.X, box.Y}, {box.GetRight(), box.Y}, {box.X, box.GetBottom()}, {box.GetRight(), box.GetBottom()}};
    *bounds = count ? BoxAround(corners, 4, matrix ? m : nullptr) : box;
    if (!pen || count == 0) return SetStatus(Ok);
    REAL reach = PenReach(*pen, count);
    if (matrix) reach *= LargestStretch(*matrix);
    bounds->X -= reach;
    bounds->Y -= reach;
    bounds->Width += 2 * reach;
    bounds->Height += 2 * reach;
    return SetStatus(Ok);
}

Status GraphicsPath::GetBounds(Rect* bounds, const Matrix* matrix, const Pen* pen) const
{
    if (!bounds) return SetStatus(InvalidParameter);
    RectF exact;
    const Status status = GetBounds(&exact, matrix, pen);
    if (status != Ok) return status;
    *bounds = Rect(RoundToInt(exact.X), RoundToInt(exact.Y), RoundToInt(exact.Width), RoundToInt(exact.Height));
    return Ok;
}

}  // namespace Gdiplus
