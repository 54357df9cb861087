// Every shape member of Graphics and of the canvas lands on the same pixels whatever route it takes to the
// device: drawn plainly, then moved by a whole-pixel translation (in pixels, or in points at a page scale that
// makes a point a pixel), through a clip that excludes nothing, with a one-colour brush of another kind, or
// turned a quarter turn either way (at most 2 levels apart).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"

using namespace Gdiplus;

namespace {

const int kSide = 128;
const Color kInk(255, 200, 40, 90);
const Color kOutline(255, 20, 60, 30);

struct Drawing {
    std::string name;
    std::function<void(CFxPictor&)> draw;
    bool turns = true;  // false where GDI+ keeps the paint to the device (hatches) or fills aliased (regions)
};

// A white canvas with the smoothing asked for, its pixels read back after drawing.
struct Picture {
    CFxPictor canvas{nullptr, kSide, kSide};
    std::vector<ARGB> pixels;
    explicit Picture(SmoothingMode smoothing)
    {
        canvas.m_pGraphics->Clear(Color(Color::White));
        canvas.m_pGraphics->SetSmoothingMode(smoothing);
    }
    void Read() { pixels = pictor_test::AllPixels(*canvas.GetBitmap()); }
    ARGB At(int x, int y) const { return pixels[y * kSide + x]; }
};

using pictor_test::PixelMap;

struct Route {
    std::string name;
    std::function<void(Graphics&)> set;
    PixelMap map;
    bool canvasToo = true;  // false for a page: the canvas's rounded rectangles set pixel units themselves
};

const std::vector<Route>& Routes()
{
    static const std::vector<Route> routes = {
        {"translation", [](Graphics& g) { g.TranslateTransform(16, 8); },
         [](int x, int y, int* tx, int* ty) { *tx = x + 16, *ty = y + 8; }},
        // Points at three quarters scale: a pixel a unit (GDI+ applies the page after the world transform).
        {"point page, translation",
         [](Graphics& g) {
             g.SetPageUnit(UnitPoint);
             g.SetPageScale(0.75f);
             g.TranslateTransform(16, 8);
         },
         [](int x, int y, int* tx, int* ty) { *tx = x + 16, *ty = y + 8; }, false},
        {"clip excluding nothing", [](Graphics& g) { g.SetClip(RectF(-1000, -1000, 4000, 4000)); },
         pictor_test::kSamePlace},
        {"quarter turn clockwise",
         [](Graphics& g) {
             Matrix turn(0, 1, -1, 0, kSide - 1, 0);
             g.SetTransform(&turn);
         },
         [](int x, int y, int* tx, int* ty) { *tx = kSide - 1 - y, *ty = x; }},
        {"quarter turn anticlockwise",
         [](Graphics& g) {
             Matrix turn(0, -1, 1, 0, 0, kSide - 1);
             g.SetTransform(&turn);
         },
         [](int x, int y, int* tx, int* ty) { *tx = y, *ty = kSide - 1 - x; }},
    };
    return routes;
}

bool IsTurn(const Route& route) { return route.name.find("turn") != std::string::npos; }

// Pixels of the plain picture whose place on the routed one differs by more than 2 levels; -1 when the
// plain picture has no ink (a drawing that draws nothing proves nothing).
int Differing(const Picture& plain, const Picture& routed, const PixelMap& map)
{
    int differing = 0;
    bool ink = false;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            ink = ink || plain.At(x, y) != Color::White;
            int tx = 0, ty = 0;
            map(x, y, &tx, &ty);
            if (tx >= 0 && ty >= 0 && tx < kSide && ty < kSide)
                differing += !pictor_test::Near(plain.At(x, y), routed.At(tx, ty), 2);
        }
    return ink ? differing : -1;
}

std::vector<PointF> Star() { return {{60, 10}, {72, 90}, {14, 40}, {106, 40}, {48, 90}}; }
std::vector<PointF> Wave() { return {{14, 70}, {34, 20}, {58, 84}, {80, 26}, {100, 60}}; }

GraphicsPath* Figures(GraphicsPath* path)
{
    path->AddEllipse(18.5f, 22.25f, 60.0f, 44.0f);
    path->AddRectangle(RectF(50.3f, 50.6f, 40, 30));
    return path;
}

std::vector<Drawing> GraphicsMembers()
{
    auto g = [](CFxPictor& c) -> Graphics& { return *c.m_pGraphics; };
    auto pen = [](REAL width) { return std::make_shared<Pen>(kOutline, width); };
    SolidBrush* ink = new SolidBrush(kInk);
    std::shared_ptr<SolidBrush> brush(ink);
    return {
        {"FillRectangle", [=](CFxPictor& c) { g(c).FillRectangle(brush.get(), 20.3f, 30.6f, 50.5f, 40.2f); }},
        {"FillRectangles",
         [=](CFxPictor& c) {
             const RectF rects[] = {{12, 14, 30, 20}, {50.5f, 40.5f, 30, 40}};
             g(c).FillRectangles(brush.get(), rects, 2);
         }},
        {"FillEllipse", [=](CFxPictor& c) { g(c).FillEllipse(brush.get(), 20.5f, 25.25f, 70.0f, 50.0f); }},
        {"FillPolygon winding",
         [=](CFxPictor& c) { g(c).FillPolygon(brush.get(), Star().data(), 5, FillModeWinding); }},
        {"FillPolygon alternate",
         [=](CFxPictor& c) { g(c).FillPolygon(brush.get(), Star().data(), 5, FillModeAlternate); }},
        {"FillPie", [=](CFxPictor& c) { g(c).FillPie(brush.get(), 20, 20, 80, 70, 30, 250); }},
        {"FillPath",
         [=](CFxPictor& c) {
             GraphicsPath path;
             g(c).FillPath(brush.get(), Figures(&path));
         }},
        {"FillClosedCurve", [=](CFxPictor& c) { g(c).FillClosedCurve(brush.get(), Wave().data(), 5); }},
        // Regions fill whole pixels, as they clip, whatever the smoothing.
        {"FillRegion",
         [=](CFxPictor& c) {
             GraphicsPath path;
             Region region(Figures(&path));
             g(c).FillRegion(brush.get(), &region);
         },
         false},
        {"DrawLine 1", [=](CFxPictor& c) { g(c).DrawLine(pen(1).get(), 10.5f, 20.2f, 90.7f, 80.1f); }},
        {"DrawLine 3", [=](CFxPictor& c) { g(c).DrawLine(pen(3).get(), 10.5f, 20.2f, 90.7f, 80.1f); }},
        {"DrawLines", [=](CFxPictor& c) { g(c).DrawLines(pen(3).get(), Wave().data(), 5); }},
        {"DrawRectangle", [=](CFxPictor& c) { g(c).DrawRectangle(pen(3).get(), 20, 20, 60, 50); }},
        {"DrawEllipse", [=](CFxPictor& c) { g(c).DrawEllipse(pen(3).get(), 20.5f, 25.25f, 70.0f, 50.0f); }},
        {"DrawArc", [=](CFxPictor& c) { g(c).DrawArc(pen(3).get(), 20, 20, 70, 60, 30, 200); }},
        {"DrawPie", [=](CFxPictor& c) { g(c).DrawPie(pen(3).get(), 20, 20, 70, 60, 30, 200); }},
        {"DrawPolygon", [=](CFxPictor& c) { g(c).DrawPolygon(pen(3).get(), Star().data(), 5); }},
        {"DrawBezier", [=](CFxPictor& c) { g(c).DrawBezier(pen(3).get(), 10, 80, 30, 10, 70, 100, 100, 20); }},
        {"DrawCurve", [=](CFxPictor& c) { g(c).DrawCurve(pen(3).get(), Wave().data(), 5); }},
        {"DrawClosedCurve", [=](CFxPictor& c) { g(c).DrawClosedCurve(pen(3).get(), Wave().data(), 5); }},
        {"DrawPath",
         [=](CFxPictor& c) {
             GraphicsPath path;
             path.AddLines(Wave().data(), 5);
             path.StartFigure();
             path.AddEllipse(30, 30, 40, 30);
             g(c).DrawPath(pen(2).get(), &path);
         }},
        {"DrawLines dashed, round caps and joins",
         [=](CFxPictor& c) {
             auto dashed = pen(3);
             dashed->SetDashStyle(DashStyleDash);
             dashed->SetLineCap(LineCapRound, LineCapTriangle, DashCapRound);
             dashed->SetLineJoin(LineJoinRound);
             g(c).DrawLines(dashed.get(), Wave().data(), 5);
         }},
        {"DrawPolygon bevelled, inset",
         [=](CFxPictor& c) {
             auto inset = pen(4);
             inset->SetLineJoin(LineJoinBevel);
             inset->SetAlignment(PenAlignmentInset);
             g(c).DrawPolygon(inset.get(), Star().data(), 5);
         }},
    };
}

std::vector<Drawing> CanvasMembers()
{
    return {
        {"Line", [](CFxPictor& c) { c.Line(10, 20, 90, 80, 255, 20, 40, 200, 3.0f); }},
        {"Line dashed with caps",
         [](CFxPictor& c) {
             c.Line(10, 20, 90, 80, 255, 20, 40, 200, 4.0f, DashStyleDashDot, LineCapRound, LineCapTriangle);
         }},
        {"DrawPathLine",
         [](CFxPictor& c) {
             GraphicsPath path;
             path.AddLines(Wave().data(), 5);
             c.DrawPathLine(&path, kInk, 3);
         }},
        {"DrawPolygon",
         [](CFxPictor& c) {
             GraphicsPath path;
             path.AddPolygon(Star().data(), 5);
             c.DrawPolygon(&path, 255, 200, 40, 90, 255, 20, 60, 30);
         }},
        {"WireRect", [](CFxPictor& c) { c.WireRect(20, 20, 60, 50, 255, 0, 0, 0, 2.0f); }},
        {"WireRect dashed with shadow",
         [](CFxPictor& c) {
             CRect area(20, 20, 80, 70);
             c.WireRect(&area, 255, 0, 0, 0, 2.0f, 1, DashStyleDash);
         }},
        {"WireRectEmboss", [](CFxPictor& c) { c.WireRectEmboss(20, 20, 60, 50, 2.0f, 0); }},
        {"RectArrow",
         [](CFxPictor& c) {
             CRect area(20, 20, 80, 70);
             c.RectArrow(&area, 255, 20, 40, 200, 0);
         }},
        {"Polygon",
         [](CFxPictor& c) {
             Point points[] = {{20, 20}, {90, 30}, {60, 90}};
             c.Polygon(points, 255, 20, 40, 200, 3);
         }},
        {"Circle", [](CFxPictor& c) { c.Circle(20, 20, 61, 255, 200, 40, 90, 2.0f, 1); }},
        {"FillPattern", [](CFxPictor& c) { c.FillPattern(HatchStyleDiagonalCross); }, false},
        {"FillPatternRect", [](CFxPictor& c) { c.FillPatternRect(20, 20, 60, 50, HatchStyleWeave); }, false},
        {"FillRect", [](CFxPictor& c) { c.FillRect(20, 20, 60, 50, kInk); }},
        {"FillRect with border", [](CFxPictor& c) { c.FillRect(20, 20, 60, 50, kInk, kOutline); }},
        {"FillRect with plus",
         [](CFxPictor& c) {
             CRect area(20, 20, 80, 70);
             c.FillRect(&area, 255, 200, 40, 90, 0, 1);
         }},
        {"FillGradientRect",
         [](CFxPictor& c) {
             CRect area(20, 20, 80, 70);
             c.FillGradientRect(&area, kInk, kOutline);
         }},
        {"FillGradientRectH",
         [](CFxPictor& c) { c.FillGradientRectH(20, 20, 60, 50, 255, 200, 40, 90, 255, 20, 60, 30); }},
        {"FillGradientRectHalf",
         [](CFxPictor& c) { c.FillGradientRectHalf(20, 20, 60, 50, 255, 200, 40, 90, 255, 20, 60, 30); }},
        {"FillRoundRect", [](CFxPictor& c) { c.FillRoundRect(20, 20, 70, 50, 255, 200, 40, 90, 255, 20, 60, 30, 10); }},
        {"DrawRoundRect", [](CFxPictor& c) { c.DrawRoundRect(20, 20, 70, 50, 255, 20, 60, 30, 10, 3); }},
        {"FillGradientRoundRectV",
         [](CFxPictor& c) {
             CRect area(20, 20, 90, 70);
             c.FillGradientRoundRectV(&area, 255, 200, 40, 90, 255, 20, 60, 30, 10);
         }},
        {"FillUpSideRoundRect",
         [](CFxPictor& c) {
             CRect area(20, 20, 90, 70);
             c.FillUpSideRoundRect(&area, 255, 200, 40, 90, 10);
         }},
        {"RectRound", [](CFxPictor& c) { c.RectRound(20, 20, 70, 50, 255, 20, 60, 30, 20, 2); }},
    };
}

// Draws each drawing plainly and along each route, with and without anti-aliasing, and lists every
// drawing and route that moved pixels.
std::vector<std::string> MovedDrawings(const std::vector<Drawing>& drawings, bool canvas)
{
    std::vector<std::string> moved;
    for (SmoothingMode smoothing : {SmoothingModeAntiAlias, SmoothingModeNone})
        for (const Drawing& drawing : drawings) {
            Picture plain(smoothing);
            drawing.draw(plain.canvas);
            plain.Read();
            for (const Route& route : Routes()) {
                if (canvas && !route.canvasToo) continue;
                // Aliased edges through pixel centres may fall either way once turned, as in GDI+.
                if (IsTurn(route) && (!drawing.turns || smoothing == SmoothingModeNone)) continue;
                Picture routed(smoothing);
                route.set(*routed.canvas.m_pGraphics);
                drawing.draw(routed.canvas);
                routed.Read();
                const int differing = Differing(plain, routed, route.map);
                const std::string line =
                    drawing.name + (smoothing == SmoothingModeNone ? " aliased" : "") + ", " + route.name;
                if (differing != 0) moved.push_back(line + ": " + std::to_string(differing));
            }
        }
    return moved;
}

TEST(Route, GraphicsShapesLandOnTheSamePixelsAlongEveryRoute)
{
    const std::vector<std::string> moved = MovedDrawings(GraphicsMembers(), false);
    EXPECT_EQ(moved, std::vector<std::string>());
}

TEST(Route, CanvasShapesLandOnTheSamePixelsAlongEveryRoute)
{
    const std::vector<std::string> moved = MovedDrawings(CanvasMembers(), true);
    EXPECT_EQ(moved, std::vector<std::string>());
}

// One-colour brushes of every kind, each form of path gradient among them.
std::vector<std::pair<std::string, std::shared_ptr<Brush>>> OneColourBrushes(Bitmap* tile, const GraphicsPath* outline)
{
    Graphics(tile).Clear(kInk);
    const auto pathGradient = [&](const std::function<void(PathGradientBrush&)>& shape) {
        auto gradient = std::make_shared<PathGradientBrush>(outline);
        gradient->SetCenterColor(kInk);
        Color surround = kInk;
        INT count = 1;
        gradient->SetSurroundColors(&surround, &count);
        shape(*gradient);
        return gradient;
    };
    return {{"hatch", std::make_shared<HatchBrush>(HatchStyleCross, kInk, kInk)},
            {"linear gradient", std::make_shared<LinearGradientBrush>(PointF(0, 0), PointF(kSide, kSide), kInk, kInk)},
            {"texture", std::make_shared<TextureBrush>(tile)},
            {"path gradient", pathGradient([](PathGradientBrush&) {})},
            {"blended, focused, gamma-corrected and tiled path gradient", pathGradient([](PathGradientBrush& g) {
                 g.SetBlendTriangularShape(0.4f, 0.8f);
                 g.SetFocusScales(0.3f, 0.6f);
                 g.SetGammaCorrection(TRUE);
                 g.SetWrapMode(WrapModeTileFlipXY);
             })},
            {"path gradient of interpolation colours", pathGradient([](PathGradientBrush& g) {
                 const Color colours[] = {kInk, kInk, kInk};
                 const REAL positions[] = {0.0f, 0.3f, 1.0f};
                 g.SetInterpolationColors(colours, positions, 3);
             })}};
}

using Shape = std::function<void(Graphics&, const Brush*)>;

// Each shape drawn with each brush against the solid brush of kInk, with and without anti-aliasing; the
// shapes and brushes that moved pixels.
std::vector<std::string> MovedFromSolid(const std::vector<std::pair<std::string, Shape>>& shapes)
{
    Bitmap tile(8, 8, PixelFormat32bppARGB);
    GraphicsPath outline;
    outline.AddEllipse(0, 0, kSide, kSide);
    const auto brushes = OneColourBrushes(&tile, &outline);
    std::vector<std::string> moved;
    SolidBrush solid(kInk);
    for (SmoothingMode smoothing : {SmoothingModeAntiAlias, SmoothingModeNone})
        for (const auto& [shapeName, shape] : shapes) {
            Picture plain(smoothing);
            shape(*plain.canvas.m_pGraphics, &solid);
            plain.Read();
            for (const auto& [brushName, brush] : brushes) {
                Picture other(smoothing);
                shape(*other.canvas.m_pGraphics, brush.get());
                other.Read();
                const int differing = Differing(plain, other, pictor_test::kSamePlace);
                if (differing != 0)
                    moved.push_back(shapeName + (smoothing == SmoothingModeNone ? " aliased" : "") + " with a " +
                                    brushName + " brush: " + std::to_string(differing));
            }
        }
    return moved;
}

// One-colour brushes of every kind fill exactly as the solid brush of that colour.
TEST(Route, OneColourBrushesOfEveryKindFillAsSolid)
{
    const std::vector<std::string> moved = MovedFromSolid({
        {"FillEllipse", [](Graphics& g, const Brush* b) { g.FillEllipse(b, 20.5f, 25.25f, 70.0f, 50.0f); }},
        {"FillRectangle", [](Graphics& g, const Brush* b) { g.FillRectangle(b, 20.3f, 30.6f, 50.5f, 40.2f); }},
        {"FillPolygon", [](Graphics& g, const Brush* b) { g.FillPolygon(b, Star().data(), 5); }},
        {"FillPie", [](Graphics& g, const Brush* b) { g.FillPie(b, 20, 20, 80, 70, 30, 250); }},
    });
    EXPECT_EQ(moved, std::vector<std::string>());
}

// Pens of one-colour brushes of every kind stroke exactly as the solid pen of that colour (inside the path
// gradients' outline, beyond which they paint nothing).
TEST(Route, OneColourPensOfEveryKindStrokeAsSolid)
{
    const auto pen = [](const Brush* brush, REAL width) {
        auto made = std::make_unique<Pen>(brush, width);
        made->SetLineJoin(LineJoinRound);
        return made;
    };
    const std::vector<std::string> moved = MovedFromSolid({
        {"DrawLine", [&](Graphics& g, const Brush* b) { g.DrawLine(pen(b, 6.5f).get(), 30.2f, 40.7f, 100.0f, 90.4f); }},
        {"DrawEllipse",
         [&](Graphics& g, const Brush* b) { g.DrawEllipse(pen(b, 3).get(), 20.5f, 25.25f, 70.0f, 50.0f); }},
        {"DrawPolygon dashed",
         [&](Graphics& g, const Brush* b) {
             auto dashed = pen(b, 4);
             dashed->SetDashStyle(DashStyleDashDot);
             g.DrawPolygon(dashed.get(), Star().data(), 5);
         }},
        {"DrawBezier hairline",
         [&](Graphics& g, const Brush* b) { g.DrawBezier(pen(b, 0.5f).get(), 24, 90, 40, 20, 80, 120, 100, 40); }},
    });
    EXPECT_EQ(moved, std::vector<std::string>());
}

// Writes every pixel of the bitmap as the straight colour given for its place.
void Paint(Bitmap& bitmap, const std::function<ARGB(int x, int y)>& colour)
{
    const int width = static_cast<int>(bitmap.GetWidth()), height = static_cast<int>(bitmap.GetHeight());
    Rect whole(0, 0, width, height);
    BitmapData data;
    ASSERT_EQ(bitmap.LockBits(&whole, ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<ARGB*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride)[x] = colour(x, y);
    bitmap.UnlockBits(&data);
}

std::string FormatName(PixelFormat format)
{
    return format == PixelFormat32bppARGB ? "32bppARGB" : format == PixelFormat32bppRGB ? "32bppRGB" : "24bppRGB";
}

// A straight pixel as it shows over black.
ARGB OverBlack(ARGB pixel)
{
    const auto scaled = [&](int shift) { return ((pixel >> shift & 0xFFu) * (pixel >> 24) + 127) / 255 << shift; };
    return 0xFF000000u | scaled(16) | scaled(8) | scaled(0);
}

// Half-transparent shapes, pictures (drawn from a straight bitmap the layer drew into) and text on straight
// (32bppARGB) and opaque (32bppRGB, 24bppRGB) bitmaps land as on a premultiplied one (seen over black on
// an opaque one), over clear, half-transparent and opaque pixels, read back straight (at most 2 levels apart).
TEST(Route, StraightAndOpaqueBitmapsTakeTheSamePixelsAsPremultipliedOnes)
{
    const Color ink(160, 200, 40, 90);
    const auto pen = [](const Brush* brush, REAL width) { return std::make_unique<Pen>(brush, width); };
    const auto picture = [](const Brush* brush) {
        auto made = std::make_unique<Bitmap>(24, 24, PixelFormat32bppARGB);
        Graphics(made.get()).FillEllipse(brush, 0, 0, 24, 24);
        return made;
    };
    const std::vector<std::pair<std::string, Shape>> shapes = {
        {"FillRectangle", [](Graphics& g, const Brush* b) { g.FillRectangle(b, 20.3f, 30.6f, 90.5f, 40.2f); }},
        {"FillEllipse", [](Graphics& g, const Brush* b) { g.FillEllipse(b, 20.5f, 25.25f, 90.0f, 50.0f); }},
        {"FillPolygon", [](Graphics& g, const Brush* b) { g.FillPolygon(b, Star().data(), 5); }},
        {"FillRegion",
         [](Graphics& g, const Brush* b) {
             GraphicsPath path;
             Region region(Figures(&path));
             g.FillRegion(b, &region);
         }},
        {"DrawBezier",
         [&](Graphics& g, const Brush* b) { g.DrawBezier(pen(b, 3).get(), 10, 80, 30, 10, 90, 100, 120, 20); }},
        {"Clear in a clip",
         [](Graphics& g, const Brush*) {
             g.SetClip(Rect(30, 10, 80, 20));
             g.Clear(Color(0, 0, 0, 0));
             g.SetClip(Rect(30, 90, 80, 20));
             g.Clear(Color(255, 10, 200, 30));
         }},
        {"DrawImage upright", [&](Graphics& g, const Brush* b) { g.DrawImage(picture(b).get(), 30, 20); }},
        {"DrawImage turned",
         [&](Graphics& g, const Brush* b) {
             g.RotateTransform(30);
             g.DrawImage(picture(b).get(), 50.0f, 0.0f, 60.0f, 40.0f);
         }},
        {"DrawString",
         [](Graphics& g, const Brush* b) {
             FontFamily family(u"DejaVu Sans");
             Font font(&family, 20, FontStyleRegular, UnitPixel);
             g.DrawString(u"Straight 42", -1, &font, PointF(5.3f, 40.6f), b);
         }},
        {"FillRectangle with a gradient",
         [&](Graphics& g, const Brush*) {
             LinearGradientBrush gradient(PointF(10, 0), PointF(110, 0), ink, Color(100, 0, 128, 255));
             g.FillRectangle(&gradient, 10, 20, 100, 80);
         }},
    };
    const auto backdrop = [](PixelFormat format) {
        return [format](int x, int y) -> ARGB {
            if (x >= kSide / 2) return Color::White;
            if (format != PixelFormat32bppARGB) return 0xFF102030u;
            return y >= 40 && y < 60 ? 0x800000FFu : 0u;
        };
    };
    SolidBrush brush(ink);
    std::vector<std::string> moved;
    for (SmoothingMode smoothing : {SmoothingModeAntiAlias, SmoothingModeNone})
        for (PixelFormat format : {PixelFormat32bppARGB, PixelFormat32bppRGB, PixelFormat24bppRGB})
            for (const auto& [name, shape] : shapes) {
                Bitmap reference(kSide, kSide, PixelFormat32bppPARGB), target(kSide, kSide, format);
                for (Bitmap* bitmap : {&reference, &target}) {
                    Paint(*bitmap, backdrop(format));
                    Graphics graphics(bitmap);
                    graphics.SetSmoothingMode(smoothing);
                    shape(graphics, &brush);
                }
                std::vector<ARGB> expected = pictor_test::AllPixels(reference);
                // An opaque bitmap holds what the premultiplied one shows over black (a cleared pixel too).
                if (format != PixelFormat32bppARGB)
                    for (ARGB& pixel : expected) pixel = OverBlack(pixel);
                const std::vector<ARGB> got = pictor_test::AllPixels(target);
                int differing = 0, inked = 0;
                for (int i = 0; i < kSide * kSide; ++i) {
                    differing += !pictor_test::Near(expected[i], got[i], 2);
                    inked += expected[i] != backdrop(format)(i % kSide, i / kSide);
                }
                if (differing != 0 || inked == 0)
                    moved.push_back(name + (smoothing == SmoothingModeNone ? " aliased" : "") + " on " +
                                    FormatName(format) + ": " + std::to_string(differing) + " differ, " +
                                    std::to_string(inked) + " inked");
            }
    EXPECT_EQ(moved, std::vector<std::string>());
}

// Half-transparent red on a bitmap of GDI+'s default format: straight red over clear pixels, pink over
// white ones, and the faint pixels beside it are left as the engine holds them; locks, GetPixel and a
// saved PNG agree.
TEST(Route, HalfTransparentInkOnAStraightBitmapStoresStraightColour)
{
    Bitmap bitmap(8, 2);
    Paint(bitmap, [](int x, int y) -> ARGB { return y == 1 ? 0xFFFFFFFFu : x >= 5 ? 0x10204080u : 0u; });
    // The engine rounds a straight bitmap's colours through premultiplied form at every lock and context.
    Graphics(&bitmap).Flush();
    const ARGB faint = pictor_test::AllPixels(bitmap)[5];
    SolidBrush red(Color(128, 255, 0, 0));
    for (SmoothingMode smoothing : {SmoothingModeAntiAlias, SmoothingModeNone}) {
        Graphics graphics(&bitmap);
        graphics.SetSmoothingMode(smoothing);
        // Pixel centres lie on whole coordinates: each rectangle covers two columns whole.
        graphics.FillRectangle(&red, smoothing == SmoothingModeNone ? -0.5f : 1.5f, -0.5f, 2.0f, 2.0f);
    }
    const std::vector<ARGB> pixels = pictor_test::AllPixels(bitmap);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(pixels[x], 0x80FF0000u) << x;
        EXPECT_EQ(pixels[8 + x], 0xFFFF7F7Fu) << x;
    }
    for (int x = 5; x < 8; ++x) EXPECT_EQ(pixels[x], faint) << x;
    EXPECT_EQ(pixels[8 + 6], 0xFFFFFFFFu);
    for (int i = 0; i < 16; ++i) {
        Color colour;
        ASSERT_EQ(bitmap.GetPixel(i % 8, i / 8, &colour), Ok);
        EXPECT_EQ(colour.GetValue(), pixels[i]) << i;
    }
    const pictor_test::TempFolder folder;
    const CString path(folder.File("straight.png").c_str());
    const CLSID png = pictor_test::EncoderFor(u"image/png");
    ASSERT_EQ(bitmap.Save(path, &png), Ok);
    Bitmap saved(path);
    EXPECT_EQ(pictor_test::AllPixels(saved), pixels);
}

}  // namespace
