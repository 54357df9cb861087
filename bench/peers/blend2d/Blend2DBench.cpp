// The peer workloads drawn with Blend2D (its JIT pipelines, one thread), built in only when a Blend2D
// install is given to CMake. Blend2D is the fastest CPU rasteriser we know of: its ratios are the next bar,
// reported beside the cairo and Qt ones, without a target. Dashed lines and path clips have no Blend2D
// counterpart and are left out.
#include <benchmark/benchmark.h>
#include <blend2d/blend2d.h>

#include <cmath>

#include "../../Ratios.h"
#include "../Peers.h"

namespace {

using namespace peers;

const int kRectangles = 1000, kLines = 1000, kClippedShapes = 1000, kHatched = 1000, kPhotos = 4;
const int kPhotoWidth = 800, kPhotoHeight = 600;
const double kTurn = 30.0 * M_PI / 180.0;

// A 1920 x 1080 premultiplied canvas, made once, like the other libraries' canvases.
BLImage& Blend2DCanvas()
{
    static BLImage canvas(kWidth, kHeight, BL_FORMAT_PRGB32);
    return canvas;
}

BLRgba32 Rgb(int r, int g, int b) { return BLRgba32(uint32_t(0xFF000000u | (r << 16) | (g << 8) | b)); }

void BM_Blend2DRect(benchmark::State& state)
{
    BLContext context(Blend2DCanvas());
    for (auto _ : state)
        for (int i = 0; i < kRectangles; ++i)
            context.fill_rect(BLRect(SpotOf(i).x, SpotOf(i).y, 60, 40), Rgb(250, 220, i % 256));
    context.end();
}

// A shape filled and outlined in the workloads' colours.
void FillAndOutline(BLContext& context, BLGeometryType type, const void* shape, int i)
{
    context.fill_geometry(type, shape, Rgb(250, 220, i % 256));
    context.stroke_geometry(type, shape, Rgb(80, 60, 40));
}

void BM_Blend2DShapes(benchmark::State& state, bool circles)
{
    BLContext context(Blend2DCanvas());
    context.set_stroke_width(1.0);
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            const Spot at = SpotOf(i);
            const BLCircle circle(at.x + 30.0, at.y + 30.0, 30.0);
            const BLRoundRect rounded(at.x, at.y, 89, 49, 8);
            if (circles) FillAndOutline(context, BL_GEOMETRY_TYPE_CIRCLE, &circle, i);
            else FillAndOutline(context, BL_GEOMETRY_TYPE_ROUND_RECT, &rounded, i);
        }
    context.end();
}

void BM_Blend2DLines(benchmark::State& state)
{
    BLContext context(Blend2DCanvas());
    context.set_stroke_width(2.0);
    context.set_stroke_caps(BL_STROKE_CAP_BUTT);
    for (auto _ : state)
        for (int i = 0; i < kLines; ++i)
            context.stroke_line(BLLine(SpotOf(i).x, SpotOf(i).y, SpotOf(i).x + 40, SpotOf(i).y + 30),
                                Rgb(200, 30, i % 256));
    context.end();
}

void BM_Blend2DGradient(benchmark::State& state, bool across)
{
    BLContext context(Blend2DCanvas());
    for (auto _ : state)
        for (int i = 0; i < kGradients; ++i) {
            BLGradient gradient(BLLinearGradientValues(0, 0, across ? kWidth : 0, across ? 0 : kHeight));
            gradient.add_stop(0.0, Rgb(200, 30, i));
            gradient.add_stop(1.0, Rgb(20, 90, 200));
            context.fill_rect(BLRectI(0, 0, kWidth, kHeight), gradient);
        }
    context.end();
}

void BM_Blend2DClippedFills(benchmark::State& state)
{
    BLContext context(Blend2DCanvas());
    context.clip_to_rect(BLRectI(200, 100, 1500, 800));
    for (auto _ : state)
        for (int i = 0; i < kClippedShapes; ++i)
            context.fill_circle(BLCircle(SpotOf(i).x + 30.0, SpotOf(i).y + 30.0, 30.0), Rgb(250, 220, i % 256));
    context.end();
}

// The diagonal cross as an 8 x 8 cell repeated from the canvas origin, as the other libraries lay it.
void BM_Blend2DHatched(benchmark::State& state)
{
    BLImage cell(8, 8, BL_FORMAT_PRGB32);
    {
        BLContext drawing(cell);
        drawing.fill_all(Rgb(250, 240, 220));
        for (int k = 0; k < 8; ++k) {
            drawing.fill_rect(BLRectI(k, k, 1, 1), Rgb(30, 60, 120));
            drawing.fill_rect(BLRectI(7 - k, k, 1, 1), Rgb(30, 60, 120));
        }
    }
    BLPattern pattern(cell, BL_EXTEND_MODE_REPEAT);
    BLContext context(Blend2DCanvas());
    for (auto _ : state)
        for (int i = 0; i < kHatched; ++i)
            context.fill_rect(BLRect(SpotOf(i).x + 0.5, SpotOf(i).y + 0.5, 60, 40), pattern);
    context.end();
}

void BM_Blend2DTurnedShapes(benchmark::State& state, bool ellipses)
{
    BLContext context(Blend2DCanvas());
    context.set_stroke_width(1.0);
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            const Spot at = SpotOf(i);
            context.reset_transform();
            context.rotate(kTurn, at.x + 45.0, at.y + 25.0);
            const BLEllipse ellipse(at.x + 45.0, at.y + 25.0, 45.0, 25.0);
            const BLRoundRect rounded(at.x, at.y, 89, 49, 8);
            if (ellipses) FillAndOutline(context, BL_GEOMETRY_TYPE_ELLIPSE, &ellipse, i);
            else FillAndOutline(context, BL_GEOMETRY_TYPE_ROUND_RECT, &rounded, i);
        }
    context.end();
}

void BM_Blend2DTurnedPhoto(benchmark::State& state)
{
    // The top-left 800 x 600 of the large picture, at the large picture's stride, as the other peers draw it.
    BLImage photo;
    photo.create_from_data(kPhotoWidth, kPhotoHeight, BL_FORMAT_PRGB32, const_cast<uint32_t*>(LargePixels().data()),
                           kLargeWidth * 4, BL_DATA_ACCESS_READ, nullptr, nullptr);
    BLContext context(Blend2DCanvas());
    context.set_pattern_quality(BL_PATTERN_QUALITY_BILINEAR);
    for (auto _ : state)
        for (int i = 0; i < kPhotos; ++i) {
            context.reset_transform();
            context.rotate(kTurn, 500.0 + 300 * i, 500.0);
            context.blit_image(BLPoint(100.0 + 300 * i, 200.0), photo);
        }
    context.end();
}

const bool kRegistered = [] {
    auto add = [](const std::string& name, auto run) {
        return benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMillisecond);
    };
    // Each row sets the library's workload against Blend2D alone; a target of 0 means "no target".
    auto against = [&](const std::string& member, const std::string& name, auto run) {
        add(name, run);
        PeerRows().push_back({member, {name}, 0.0, 0.0});
    };
    against("peer:FillRect/1000", "peer:blend2d-rect/1000", BM_Blend2DRect);
    against("peer:FillRoundRect/200", "peer:blend2d-roundrect/200",
            [](benchmark::State& s) { BM_Blend2DShapes(s, false); });
    against("peer:Circle/200", "peer:blend2d-circle/200", [](benchmark::State& s) { BM_Blend2DShapes(s, true); });
    against("peer:Line/1000", "peer:blend2d-line/1000", BM_Blend2DLines);
    against("peer:FillGradientRect/1920x1080-x20", "peer:blend2d-gradient-down/1920x1080-x20",
            [](benchmark::State& s) { BM_Blend2DGradient(s, false); });
    against("peer:FillGradientRectH/1920x1080-x20", "peer:blend2d-gradient-across/1920x1080-x20",
            [](benchmark::State& s) { BM_Blend2DGradient(s, true); });
    against("peer:ClippedFills-rect/1000", "peer:blend2d-clipped-rect/1000", BM_Blend2DClippedFills);
    against("peer:HatchFill/1000-hatched", "peer:blend2d-hatch/1000-hatched", BM_Blend2DHatched);
    against("peer:TurnedEllipse/200-turned-30", "peer:blend2d-turned-ellipse/200-turned-30",
            [](benchmark::State& s) { BM_Blend2DTurnedShapes(s, true); });
    against("peer:TurnedRoundRect/200-turned-30", "peer:blend2d-turned-roundrect/200-turned-30",
            [](benchmark::State& s) { BM_Blend2DTurnedShapes(s, false); });
    const std::string photo = "/800x600-x4-turned-30-bilinear";
    add("peer:blend2d-turned-image" + photo, BM_Blend2DTurnedPhoto)->MeasureProcessCPUTime();
    PeerRows().push_back({"peer:TurnedDrawImage" + photo, {"peer:blend2d-turned-image" + photo}, 0.0, 0.0});
    return true;
}();

}  // namespace
