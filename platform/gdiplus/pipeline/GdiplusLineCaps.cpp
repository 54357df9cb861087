// Straight lines whose ends libgdiplus cannot draw as GDI+ does.
//
// libgdiplus strokes through cairo, which has one cap for both ends of a line and for every dash: it draws
// both ends with the start cap, caps each dash, and leaves triangles and anchors off. GDI+ gives the start
// and the end their own cap, ends the dashes between them flat, and draws anchors centred on the ends.
// Such lines are drawn here as one filled outline: each dash a band of the pen's width, the first and
// last with their cap, the anchors as shapes of their own.
#include <cmath>
#include <memory>
#include <vector>

#include "../Gdiplus.h"
#include "AnchorCap.h"

namespace Gdiplus {

namespace {

const double kPi = 3.14159265358979323846;
// More dashes than this in one line are left to the engine.
const size_t kMostDashes = 100000;

// What the outline needs to know of a pen.
struct PenShape {
    LineCap startCap = LineCapFlat;
    LineCap endCap = LineCapFlat;
    REAL width = 1.0f;
    std::vector<REAL> dashes;  // dash and gap lengths in pen widths; empty when solid
    REAL dashOffset = 0.0f;
};

bool ReadPen(DllExports::GpPen* pen, PenShape* shape)
{
    DashStyle dashStyle = DashStyleSolid;
    if (DllExports::GdipGetPenStartCap(pen, &shape->startCap) != Ok ||
        DllExports::GdipGetPenEndCap(pen, &shape->endCap) != Ok ||
        DllExports::GdipGetPenWidth(pen, &shape->width) != Ok ||
        DllExports::GdipGetPenDashStyle(pen, &dashStyle) != Ok)
        return false;
    INT count = 0;
    if (dashStyle != DashStyleSolid && DllExports::GdipGetPenDashCount(pen, &count) == Ok && count > 0) {
        shape->dashes.resize(static_cast<size_t>(count));
        if (DllExports::GdipGetPenDashArray(pen, shape->dashes.data(), count) != Ok) shape->dashes.clear();
        DllExports::GdipGetPenDashOffset(pen, &shape->dashOffset);
    }
    return true;
}

bool IsCairoCap(LineCap cap) { return cap == LineCapFlat || cap == LineCapSquare || cap == LineCapRound; }

bool EngineDrawsEnds(const PenShape& shape)
{
    return shape.startCap == shape.endCap && IsCairoCap(shape.startCap) &&
           (shape.dashes.empty() || shape.startCap == LineCapFlat);
}

// Points of the line's own frame: `along` from the start towards the end, `across` to one side.
class LineFrame {
public:
    LineFrame(REAL x1, REAL y1, REAL x2, REAL y2)
        : x(x1), y(y1), length(std::hypot(static_cast<double>(x2) - x1, static_cast<double>(y2) - y1))
    {
        if (length > 0) {
            ux = (x2 - x1) / length;
            uy = (y2 - y1) / length;
        }
    }
    double Length() const { return length; }
    PointF At(double along, double across) const
    {
        return PointF(static_cast<REAL>(x + along * ux - across * uy), static_cast<REAL>(y + along * uy + across * ux));
    }

private:
    double x, y, length, ux = 1.0, uy = 0.0;
};

using Figure = std::vector<PointF>;

// The cap's outline points at one end of a band, from one corner round to the other. `at` is the end,
// `outwards` is +1 beyond the line's end and -1 before its start, h is half the width.
void AddCapPoints(Figure& figure, const LineFrame& frame, LineCap cap, double at, double outwards, double h)
{
    const double side = -outwards;  // the corner the cap starts from
    switch (cap) {
    case LineCapSquare:
        figure.push_back(frame.At(at + outwards * h, side * h));
        figure.push_back(frame.At(at + outwards * h, -side * h));
        break;
    case LineCapTriangle:
        figure.push_back(frame.At(at + outwards * h, 0));
        break;
    case LineCapRound:
        for (int i = 1; i < 16; ++i) {
            const double t = -kPi / 2 + kPi * i / 16;
            figure.push_back(frame.At(at + outwards * h * std::cos(t), side * h * std::sin(-t)));
        }
        break;
    default:
        break;
    }
}

// One band from a to b along the line, with the start cap at a and the end cap at b where given.
Figure Band(const LineFrame& frame, double a, double b, double h, LineCap startCap, LineCap endCap)
{
    Figure figure;
    figure.push_back(frame.At(a, -h));
    figure.push_back(frame.At(b, -h));
    AddCapPoints(figure, frame, endCap, b, 1.0, h);
    figure.push_back(frame.At(b, h));
    figure.push_back(frame.At(a, h));
    AddCapPoints(figure, frame, startCap, a, -1.0, h);
    return figure;
}

// How far the lines of a round anchor may stray from its circle.
const double kAnchorTolerance = 0.1;

// The anchor around the end at `at` (`outwards` +1 beyond the line's end, -1 before its start), turning
// as the bands do (pipeline/AnchorCap.h).
Figure Anchor(const LineFrame& frame, LineCap cap, double at, double outwards, double width)
{
    Figure figure;
    for (const AnchorPoint& p : AnchorPolygon(cap, AnchorSize(width), kAnchorTolerance))
        figure.push_back(frame.At(at + outwards * p.forward, outwards * p.side));
    return figure;
}

// The dashes lying in [from, to], as intervals, the pattern starting at 0 shifted by the offset.
bool DashIntervals(const PenShape& shape, double from, double to, std::vector<std::pair<double, double>>* out)
{
    if (shape.dashes.empty()) {
        out->push_back({from, to});
        return true;
    }
    double period = 0;
    for (REAL d : shape.dashes) period += std::fabs(d) * shape.width;
    if (!(period > 0) || to / period * shape.dashes.size() > kMostDashes) return false;
    double position = -std::fmod(static_cast<double>(shape.dashOffset) * shape.width, period);
    if (position > 0) position -= period;
    for (size_t i = 0; position < to; i = (i + 1) % shape.dashes.size()) {
        const double next = position + std::fabs(shape.dashes[i]) * shape.width;
        if (i % 2 == 0 && next > from) out->push_back({std::max(position, from), std::min(next, to)});
        position = next;
    }
    return true;
}

// The smallest width the engine strokes: one device pixel, in world units.
double SmallestWidth(DllExports::GpGraphics* graphics)
{
    DllExports::GpMatrix* world = nullptr;
    if (DllExports::GdipCreateMatrix(&world) != Ok) return 0;
    REAL m[6] = {1, 0, 0, 1, 0, 0};
    if (DllExports::GdipGetWorldTransform(graphics, world) == Ok) DllExports::GdipGetMatrixElements(world, m);
    DllExports::GdipDeleteMatrix(world);
    const double scale = std::sqrt(std::fabs(static_cast<double>(m[0]) * m[3] - static_cast<double>(m[1]) * m[2]));
    return scale > 0 ? 1.0 / scale : 0;
}

struct PathDeleter {
    void operator()(DllExports::GpPath* path) const { DllExports::GdipDeletePath(path); }
};
struct BrushDeleter {
    void operator()(DllExports::GpBrush* brush) const { DllExports::GdipDeleteBrush(brush); }
};

}  // namespace

bool Graphics::EngineDrawsLineEnds(const Pen* pen)
{
    PenShape shape;
    // Custom caps (arrows and the like) are drawn by the engine alone.
    return !pen || !pen->NativePen() || !ReadPen(pen->NativePen(), &shape) || EngineDrawsEnds(shape) ||
           shape.startCap == LineCapCustom || shape.endCap == LineCapCustom;
}

Status Graphics::DrawLineWithEnds(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
{
    PenShape shape;
    const LineFrame frame(x1, y1, x2, y2);
    std::vector<std::pair<double, double>> dashes;
    if (!ReadPen(pen->NativePen(), &shape) || !(frame.Length() > 0))
        return SetStatus(DllExports::GdipDrawLine(nativeGraphics, pen->NativePen(), x1, y1, x2, y2));
    const double width = std::max(static_cast<double>(shape.width), SmallestWidth(nativeGraphics));
    const double h = width / 2, length = frame.Length();
    // An arrow's tip is the line's end, so the band stops where the arrow is wide enough to cover it.
    const double from = std::min(AnchorInset(shape.startCap, width), length / 2);
    const double to = std::max(length - AnchorInset(shape.endCap, width), length / 2);
    if (!DashIntervals(shape, from, to, &dashes))
        return SetStatus(DllExports::GdipDrawLine(nativeGraphics, pen->NativePen(), x1, y1, x2, y2));

    std::vector<Figure> figures;
    for (const auto& [a, b] : dashes) {
        if (!(b > a)) continue;
        const LineCap startCap = a == 0.0 && !IsAnchorCap(shape.startCap) ? shape.startCap : LineCapFlat;
        const LineCap endCap = b == length && !IsAnchorCap(shape.endCap) ? shape.endCap : LineCapFlat;
        figures.push_back(Band(frame, a, b, h, startCap, endCap));
    }
    if (IsAnchorCap(shape.startCap)) figures.push_back(Anchor(frame, shape.startCap, 0.0, -1.0, width));
    if (IsAnchorCap(shape.endCap)) figures.push_back(Anchor(frame, shape.endCap, length, 1.0, width));

    DllExports::GpPath* rawPath = nullptr;
    DllExports::GpBrush* rawBrush = nullptr;
    Status status = SetStatus(DllExports::GdipCreatePath(FillModeWinding, &rawPath));
    std::unique_ptr<DllExports::GpPath, PathDeleter> path(rawPath);
    if (status != Ok) return status;
    status = SetStatus(DllExports::GdipGetPenBrushFill(pen->NativePen(), &rawBrush));
    std::unique_ptr<DllExports::GpBrush, BrushDeleter> brush(rawBrush);
    if (status != Ok) return status;
    // All figures turn the same way, so where they overlap the winding fill paints once.
    for (const Figure& figure : figures)
        if (figure.size() >= 3)
            DllExports::GdipAddPathPolygon(path.get(), figure.data(), static_cast<INT>(figure.size()));
    return FillNativePath(brush.get(), path.get());
}

}  // namespace Gdiplus
