// Hatched rectangles, by the library and by its peers: an 8 x 8 two-colour pattern laid from the device
// origin over 1000 anti-aliased rectangles.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <QBrush>
#include <QPainter>

#include "../Ratios.h"
#include "Peers.h"

namespace {

using namespace peers;

const int kHatched = 1000;

void BM_Hatched(benchmark::State& state)
{
    Gdiplus::Graphics& graphics = *Canvas().m_pGraphics;
    Gdiplus::HatchBrush hatch(Gdiplus::HatchStyleDiagonalCross, Gdiplus::Color(255, 30, 60, 120),
                              Gdiplus::Color(255, 250, 240, 220));
    for (auto _ : state)
        for (int i = 0; i < kHatched; ++i)
            graphics.FillRectangle(&hatch, Gdiplus::RectF(SpotOf(i).x + 0.5f, SpotOf(i).y + 0.5f, 60, 40));
}

void BM_QtHatched(benchmark::State& state)
{
    QPainter painter(&QtCanvas());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(QColor(250, 240, 220));
    const QBrush hatch(QColor(30, 60, 120), Qt::DiagCrossPattern);
    for (auto _ : state)
        for (int i = 0; i < kHatched; ++i) painter.fillRect(QRectF(SpotOf(i).x + 0.5, SpotOf(i).y + 0.5, 60, 40), hatch);
}

void BM_CairoHatched(benchmark::State& state)
{
    cairo_surface_t* cell = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_t* drawing = cairo_create(cell);
    cairo_set_source_rgb(drawing, 250 / 255.0, 240 / 255.0, 220 / 255.0);
    cairo_paint(drawing);
    cairo_set_source_rgb(drawing, 30 / 255.0, 60 / 255.0, 120 / 255.0);
    for (int k = 0; k < 8; ++k) {
        cairo_rectangle(drawing, k, k, 1, 1);
        cairo_rectangle(drawing, 7 - k, k, 1, 1);
    }
    cairo_fill(drawing);
    cairo_destroy(drawing);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(cell);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_t* cr = cairo_create(CairoCanvas());
    cairo_set_source(cr, pattern);
    for (auto _ : state)
        for (int i = 0; i < kHatched; ++i) {
            cairo_rectangle(cr, SpotOf(i).x + 0.5, SpotOf(i).y + 0.5, 60, 40);
            cairo_fill(cr);
        }
    cairo_destroy(cr);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(cell);
}

const bool kRegistered = [] {
    auto add = [](const std::string& name, auto run) {
        return benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMillisecond);
    };
    const std::string hatched = "/1000-hatched";
    add("peer:HatchFill" + hatched, BM_Hatched);
    add("peer:qt-hatch" + hatched, BM_QtHatched);
    add("peer:cairo-hatch" + hatched, BM_CairoHatched);
    PeerRows().push_back({"peer:HatchFill" + hatched, {"peer:qt-hatch" + hatched, "peer:cairo-hatch" + hatched}, 1.0, 0});
    return true;
}();

}  // namespace
