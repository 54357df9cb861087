// Drawing members against the same drawing made with the engine's flat calls directly, on a 1920 x 1080
// canvas with many small shapes.
#include <benchmark/benchmark.h>

#include "FxPictor.h"
#include "Ratios.h"
#include "gdiplus/engine/GdiplusFlat.h"

// The engine's own text, which the library no longer calls, drawn here as the reference.
namespace Gdiplus::DllExports {
extern "C" Status GdipDrawString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                                 const RectF* layoutRect, const GpStringFormat* format, const GpBrush* brush);
}

namespace {

namespace flat = Gdiplus::DllExports;

const int kShapes = 500;

struct Spot {
    int x, y;
};

Spot SpotOf(int i) { return Spot{(i * 137) % 1880, (i * 61) % 1040}; }

// Anti-aliased, as applications draw: a fresh canvas is not.
CFxPictor& Canvas()
{
    static CFxPictor canvas = [] {
        CFxPictor made(nullptr, 1920, 1080);
        made.SetSmoothModeHighQuility();
        return made;
    }();
    return canvas;
}

flat::GpGraphics* Native() { return Canvas().m_pGraphics->NativeGraphics(); }

void BM_FillRect(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) Canvas().FillRect(SpotOf(i).x, SpotOf(i).y, 30, 20, 255, 40, 90, BYTE(i));
}

void BM_FlatFillRect(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            flat::GpSolidFill* brush = nullptr;
            flat::GdipCreateSolidFill(Gdiplus::Color(255, 40, 90, BYTE(i)).GetValue(), &brush);
            flat::GdipFillRectangleI(Native(), reinterpret_cast<flat::GpBrush*>(brush), SpotOf(i).x, SpotOf(i).y, 30,
                                     20);
            flat::GdipDeleteBrush(reinterpret_cast<flat::GpBrush*>(brush));
        }
}

void BM_Line(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i)
            Canvas().Line(SpotOf(i).x, SpotOf(i).y, SpotOf(i).x + 40, SpotOf(i).y + 30, 255, 200, 30, BYTE(i), 2.0f);
}

void BM_FlatLine(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            flat::GpPen* pen = nullptr;
            flat::GdipCreatePen1(Gdiplus::Color(255, 200, 30, BYTE(i)).GetValue(), 2.0f, Gdiplus::UnitWorld, &pen);
            flat::GdipDrawLineI(Native(), pen, SpotOf(i).x, SpotOf(i).y, SpotOf(i).x + 40, SpotOf(i).y + 30);
            flat::GdipDeletePen(pen);
        }
}

void BM_FillRoundRect(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i)
            Canvas().FillRoundRect(SpotOf(i).x, SpotOf(i).y, 36, 24, 255, 250, 220, BYTE(i), 255, 80, 60, 40, 6);
}

// The same outline as the rounded-rectangle members build: four corner arcs of a 12-pixel diameter.
void BM_FlatFillRoundRect(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            const int x = SpotOf(i).x, y = SpotOf(i).y, w = 36, h = 24, d = 12;
            flat::GpSolidFill* brush = nullptr;
            flat::GdipCreateSolidFill(Gdiplus::Color(255, 250, 220, BYTE(i)).GetValue(), &brush);
            flat::GdipSetPageUnit(Native(), Gdiplus::UnitPixel);
            flat::GpPen* pen = nullptr;
            flat::GdipCreatePen1(Gdiplus::Color(255, 80, 60, 40).GetValue(), 1.0f, Gdiplus::UnitWorld, &pen);
            flat::GdipSetPenMode(pen, Gdiplus::PenAlignmentCenter);
            flat::GpPath* path = nullptr;
            flat::GdipCreatePath(Gdiplus::FillModeAlternate, &path);
            flat::GdipAddPathArcI(path, x, y, d, d, 180.0f, 90.0f);
            flat::GdipAddPathArcI(path, x + w - d - 1, y, d, d, 270.0f, 90.0f);
            flat::GdipAddPathArcI(path, x + w - d - 1, y + h - d - 1, d, d, 0.0f, 90.0f);
            flat::GdipAddPathArcI(path, x, y + h - d - 1, d, d, 90.0f, 90.0f);
            flat::GdipClosePathFigure(path);
            flat::GdipFillPath(Native(), reinterpret_cast<flat::GpBrush*>(brush), path);
            flat::GdipDrawPath(Native(), pen, path);
            flat::GdipDeletePath(path);
            flat::GdipDeletePen(pen);
            flat::GdipDeleteBrush(reinterpret_cast<flat::GpBrush*>(brush));
        }
}

const int kTexts = 100;
const CString kFamily("DejaVu Sans");
const CString kWords("Pictor 42");

void BM_Text(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kTexts; ++i)
            Canvas().Text(SpotOf(i).x, SpotOf(i).y, 14, 255, 20, 20, BYTE(i), kFamily, kWords);
}

void BM_FlatText(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kTexts; ++i) {
            flat::GpFontFamily* family = nullptr;
            flat::GdipCreateFontFamilyFromName(kFamily.GetString(), nullptr, &family);
            flat::GpFont* font = nullptr;
            flat::GdipCreateFont(family, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel, &font);
            flat::GpSolidFill* brush = nullptr;
            flat::GdipCreateSolidFill(Gdiplus::Color(255, 20, 20, BYTE(i)).GetValue(), &brush);
            const Gdiplus::RectF at(float(SpotOf(i).x), float(SpotOf(i).y), 0.0f, 0.0f);
            flat::GdipDrawString(Native(), kWords.GetString(), kWords.GetLength(), font, &at, nullptr,
                                 reinterpret_cast<flat::GpBrush*>(brush));
            flat::GdipDeleteBrush(reinterpret_cast<flat::GpBrush*>(brush));
            flat::GdipDeleteFont(font);
            flat::GdipDeleteFontFamily(family);
        }
}

const int kEllipses = 200;

// A caller's bitmap of GDI+'s default format (32bppARGB, straight), anti-aliased.
Gdiplus::Graphics& StraightBitmap()
{
    static Gdiplus::Bitmap bitmap(1920, 1080);
    static Gdiplus::Graphics graphics(&bitmap);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    return graphics;
}

void BM_StraightEllipses(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kEllipses; ++i) {
            Gdiplus::SolidBrush brush(Gdiplus::Color(200, 40, 90, BYTE(i)));
            StraightBitmap().FillEllipse(&brush, SpotOf(i).x + 0.5f, SpotOf(i).y + 0.25f, 36.0f, 24.0f);
        }
}

void BM_FlatStraightEllipses(benchmark::State& state)
{
    flat::GpGraphics* native = StraightBitmap().NativeGraphics();
    for (auto _ : state)
        for (int i = 0; i < kEllipses; ++i) {
            flat::GpSolidFill* brush = nullptr;
            flat::GdipCreateSolidFill(Gdiplus::Color(200, 40, 90, BYTE(i)).GetValue(), &brush);
            flat::GdipFillEllipse(native, reinterpret_cast<flat::GpBrush*>(brush), SpotOf(i).x + 0.5f,
                                  SpotOf(i).y + 0.25f, 36.0f, 24.0f);
            flat::GdipDeleteBrush(reinterpret_cast<flat::GpBrush*>(brush));
        }
}

const bool kRegistered = [] {
    struct Pair {
        const char* member;
        void (*run)(benchmark::State&);
        const char* reference;
        void (*reference_run)(benchmark::State&);
    } pairs[] = {
        {"FillRect/500", BM_FillRect, "flat:FillRect/500", BM_FlatFillRect},
        {"Line/500", BM_Line, "flat:Line/500", BM_FlatLine},
        {"FillRoundRect/500", BM_FillRoundRect, "flat:FillRoundRect/500", BM_FlatFillRoundRect},
        {"Text/100", BM_Text, "flat:Text/100", BM_FlatText},
        {"StraightBitmap:FillEllipse/200", BM_StraightEllipses, "flat:StraightBitmap:FillEllipse/200",
         BM_FlatStraightEllipses},
    };
    for (const Pair& pair : pairs) {
        benchmark::RegisterBenchmark(pair.member, pair.run)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(pair.reference, pair.reference_run)->Unit(benchmark::kMicrosecond);
        RatioRows().push_back({pair.member, pair.reference, 1.1});
    }
    return true;
}();

}  // namespace
