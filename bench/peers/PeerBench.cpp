// The library against cairo (with pango for text) and Qt 5's QPainter on a QImage: the same workloads on a
// 1920 x 1080 anti-aliased canvas, in the same process. Each library row is compared with the faster peer.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FxPictor.h"
#include "../Ratios.h"
#include "Peers.h"

namespace peers {

// The scripts the text workloads draw, each in a face that holds all its characters.
enum class Script { Latin, Hangul };

const char* FamilyOf(Script script) { return script == Script::Hangul ? "NanumGothic" : "DejaVu Sans"; }

// Strings that differ from call to call, so that no cache of whole lines can help.
const std::vector<std::wstring>& Strings(Script script = Script::Latin)
{
    static const auto make = [](Script of) {
        std::vector<std::wstring> all;
        for (int i = 0; i < kStrings * 4; ++i) {
            const std::wstring number = std::to_wstring(1000 + i * 7), parcels = std::to_wstring(i % 60);
            if (of == Script::Hangul)
                all.push_back(L"주문 " + number + L"번, 리스본으로 발송된 소포 " + parcels + L"개");
            else
                all.push_back(L"Order " + number + L" shipped to Lisbon, " + parcels + L" parcels");
        }
        return all;
    };
    static const std::vector<std::wstring> latin = make(Script::Latin), hangul = make(Script::Hangul);
    return script == Script::Hangul ? hangul : latin;
}
QString QtString(int i, Script script = Script::Latin) { return QString::fromStdWString(Strings(script)[i]); }
std::string Utf8String(int i, Script script = Script::Latin) { return QtString(i, script).toStdString(); }

// Qt needs an application object for its fonts; it runs without a display.
QGuiApplication& QtApp()
{
    static int argc = 1;
    static char name[] = "pictor_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

CFxPictor& Canvas()
{
    static CFxPictor canvas = [] {
        CFxPictor made(nullptr, kWidth, kHeight);
        made.SetSmoothModeHighQuility();
        return made;
    }();
    return canvas;
}

QImage& QtCanvas()
{
    QtApp();
    static QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    return image;
}

cairo_surface_t* CairoCanvas()
{
    static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    return surface;
}

// A photo-like 4000 x 3000 picture, the same bytes for every library.
const std::vector<uint32_t>& LargePixels()
{
    static const std::vector<uint32_t> pixels = [] {
        std::vector<uint32_t> all(size_t(kLargeWidth) * kLargeHeight);
        uint32_t noise = 12345;
        for (int y = 0; y < kLargeHeight; ++y)
            for (int x = 0; x < kLargeWidth; ++x) {
                noise = noise * 1103515245u + 12345u;
                all[size_t(y) * kLargeWidth + x] =
                    0xFF000000u | ((x * 255 / kLargeWidth) << 16) | ((y * 255 / kLargeHeight) << 8) | (noise >> 24);
            }
        return all;
    }();
    return pixels;
}

void CairoRoundRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -G_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, G_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, G_PI / 2, G_PI);
    cairo_arc(cr, x + r, y + r, r, G_PI, 3 * G_PI / 2);
    cairo_close_path(cr);
}

}  // namespace peers

namespace {

using namespace peers;

// ---- resampling a large picture down to 800 x 600 ----
// ReSampling replaces the canvas's picture, so each peer replaces its picture too: a fresh copy is made
// untimed, and the scaled picture takes its place (freeing 48 MB is part of the work for all three).

void BM_ReSampling(benchmark::State& state)
{
    CFxPictor source(nullptr, kLargeWidth, kLargeHeight);
    source.SetBits(reinterpret_cast<BYTE*>(const_cast<uint32_t*>(LargePixels().data())), 0, 0);
    for (auto _ : state) {
        state.PauseTiming();
        CFxPictor picture(nullptr, kLargeWidth, kLargeHeight);
        source.CopyToThis(&picture);
        state.ResumeTiming();
        picture.ReSampling(kThumbWidth, kThumbHeight, 1, 0, 0, 0);
    }
}

void BM_QtScaled(benchmark::State& state)
{
    QtApp();
    QImage source(reinterpret_cast<const uchar*>(LargePixels().data()), kLargeWidth, kLargeHeight,
                  QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        QImage picture = source.copy();
        state.ResumeTiming();
        picture = picture.scaled(kThumbWidth, kThumbHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void BM_CairoScaled(benchmark::State& state)
{
    cairo_surface_t* source = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(LargePixels().data())), CAIRO_FORMAT_ARGB32, kLargeWidth,
        kLargeHeight, kLargeWidth * 4);
    for (auto _ : state) {
        state.PauseTiming();
        cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kLargeWidth, kLargeHeight);
        std::memcpy(cairo_image_surface_get_data(picture), LargePixels().data(), LargePixels().size() * 4);
        cairo_surface_mark_dirty(picture);
        state.ResumeTiming();
        cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kThumbWidth, kThumbHeight);
        cairo_t* cr = cairo_create(target);
        cairo_scale(cr, double(kThumbWidth) / kLargeWidth, double(kThumbHeight) / kLargeHeight);
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(picture);
        cairo_surface_destroy(target);
    }
    cairo_surface_destroy(source);
}

// ---- text at a point, and in a rectangle, every string different ----

void BM_Text(benchmark::State& state, Script script)
{
    const CString family(FamilyOf(script));
    const auto& strings = Strings(script);
    int round = 0;
    for (auto _ : state) {
        for (int i = 0; i < kStrings; ++i)
            Canvas().Text(SpotOf(i).x, SpotOf(i).y, 16, 255, 20, 20, BYTE(i), family,
                          CString(strings[(i + round) % strings.size()].c_str()));
        round += kStrings;
    }
}

void BM_TextInRect(benchmark::State& state, Script script)
{
    const CString family(FamilyOf(script));
    const auto& strings = Strings(script);
    int round = 0;
    for (auto _ : state) {
        for (int i = 0; i < kStrings; ++i)
            Canvas().Text(CRect(SpotOf(i).x, SpotOf(i).y, SpotOf(i).x + 120, SpotOf(i).y + 60), 16,
                          Gdiplus::Color(255, 20, 20, BYTE(i)), Gdiplus::FontStyleRegular,
                          Gdiplus::StringAlignmentCenter, family,
                          CString(strings[(i + round) % strings.size()].c_str()));
        round += kStrings;
    }
}

void BM_QtText(benchmark::State& state, bool inRect, Script script)
{
    QPainter painter(&QtCanvas());
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(FamilyOf(script));
    font.setPixelSize(16);
    painter.setFont(font);
    const int count = int(Strings(script).size());
    int round = 0;
    for (auto _ : state) {
        for (int i = 0; i < kStrings; ++i) {
            painter.setPen(QColor(20, 20, i % 256));
            const QString text = QtString((i + round) % count, script);
            if (inRect)
                painter.drawText(QRect(SpotOf(i).x, SpotOf(i).y, 120, 60), Qt::AlignCenter | Qt::TextWordWrap, text);
            else
                painter.drawText(QRect(SpotOf(i).x, SpotOf(i).y, 0, 0), Qt::TextDontClip, text);
        }
        round += kStrings;
    }
}

// pango on cairo as a cairo program would use it: one layout, its text changed per string.
void BM_PangoText(benchmark::State& state, bool inRect, Script script)
{
    cairo_t* cr = cairo_create(CairoCanvas());
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(FamilyOf(script));
    pango_font_description_set_absolute_size(font, 16 * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    if (inRect) {
        pango_layout_set_width(layout, 120 * PANGO_SCALE);
        pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    }
    std::vector<std::string> utf8;
    for (size_t i = 0; i < Strings(script).size(); ++i) utf8.push_back(Utf8String(int(i), script));
    int round = 0;
    for (auto _ : state) {
        for (int i = 0; i < kStrings; ++i) {
            cairo_set_source_rgb(cr, 20 / 255.0, 20 / 255.0, (i % 256) / 255.0);
            pango_layout_set_text(layout, utf8[(i + round) % utf8.size()].c_str(), -1);
            cairo_move_to(cr, SpotOf(i).x, SpotOf(i).y);
            pango_cairo_show_layout(cr, layout);
        }
        round += kStrings;
    }
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(cr);
}

// ---- gradients over the whole canvas ----

void BM_Gradient(benchmark::State& state, int form)
{
    for (auto _ : state)
        for (int i = 0; i < kGradients; ++i) {
            if (form == 0) Canvas().FillGradientRect(255, 200, 30, BYTE(i), 255, 20, 90, 200);
            if (form == 1) Canvas().FillGradientRectH(255, 200, 30, BYTE(i), 255, 20, 90, 200);
            if (form == 2) Canvas().FillGradientRectHalf(255, 200, 30, BYTE(i), 255, 20, 90, 200);
        }
}

void BM_QtGradient(benchmark::State& state, bool across)
{
    QPainter painter(&QtCanvas());
    painter.setRenderHint(QPainter::Antialiasing);
    for (auto _ : state)
        for (int i = 0; i < kGradients; ++i) {
            QLinearGradient gradient(0, 0, across ? kWidth : 0, across ? 0 : kHeight);
            gradient.setColorAt(0, QColor(200, 30, i));
            gradient.setColorAt(1, QColor(20, 90, 200));
            painter.fillRect(QRect(0, 0, kWidth, kHeight), gradient);
        }
}

void BM_CairoGradient(benchmark::State& state, bool across)
{
    cairo_t* cr = cairo_create(CairoCanvas());
    for (auto _ : state)
        for (int i = 0; i < kGradients; ++i) {
            cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, across ? kWidth : 0, across ? 0 : kHeight);
            cairo_pattern_add_color_stop_rgb(gradient, 0, 200 / 255.0, 30 / 255.0, i / 255.0);
            cairo_pattern_add_color_stop_rgb(gradient, 1, 20 / 255.0, 90 / 255.0, 200 / 255.0);
            cairo_set_source(cr, gradient);
            cairo_rectangle(cr, 0, 0, kWidth, kHeight);
            cairo_fill(cr);
            cairo_pattern_destroy(gradient);
        }
    cairo_destroy(cr);
}

// ---- plain rectangles, filled ----

const int kRectangles = 1000;

void BM_Rect(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kRectangles; ++i)
            Canvas().FillRect(SpotOf(i).x, SpotOf(i).y, 60, 40, Gdiplus::Color(255, 250, 220, BYTE(i)));
}

void BM_QtRect(benchmark::State& state)
{
    QPainter painter(&QtCanvas());
    painter.setRenderHint(QPainter::Antialiasing);
    for (auto _ : state)
        for (int i = 0; i < kRectangles; ++i)
            painter.fillRect(QRectF(SpotOf(i).x, SpotOf(i).y, 60, 40), QColor(250, 220, i % 256));
}

void BM_CairoRect(benchmark::State& state)
{
    cairo_t* cr = cairo_create(CairoCanvas());
    for (auto _ : state)
        for (int i = 0; i < kRectangles; ++i) {
            cairo_rectangle(cr, SpotOf(i).x, SpotOf(i).y, 60, 40);
            cairo_set_source_rgb(cr, 250 / 255.0, 220 / 255.0, (i % 256) / 255.0);
            cairo_fill(cr);
        }
    cairo_destroy(cr);
}

// ---- rounded rectangles and circles, filled and outlined ----

void BM_RoundRect(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i)
            Canvas().FillRoundRect(SpotOf(i).x, SpotOf(i).y, 90, 50, 255, 250, 220, BYTE(i), 255, 80, 60, 40, 8);
}

void BM_Circle(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i)
            Canvas().Circle(SpotOf(i).x, SpotOf(i).y, 60, Gdiplus::Color(255, 250, 220, BYTE(i)),
                            Gdiplus::Color(255, 80, 60, 40), 1.0f);
}

void BM_QtShapes(benchmark::State& state, bool circles)
{
    QPainter painter(&QtCanvas());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(80, 60, 40), 1.0));
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            painter.setBrush(QColor(250, 220, i % 256));
            if (circles)
                painter.drawEllipse(QRectF(SpotOf(i).x, SpotOf(i).y, 60, 60));
            else
                painter.drawRoundedRect(QRectF(SpotOf(i).x, SpotOf(i).y, 89, 49), 8, 8);
        }
}

void BM_CairoShapes(benchmark::State& state, bool circles)
{
    cairo_t* cr = cairo_create(CairoCanvas());
    cairo_set_line_width(cr, 1.0);
    for (auto _ : state)
        for (int i = 0; i < kShapes; ++i) {
            if (circles) {
                cairo_new_path(cr);
                cairo_arc(cr, SpotOf(i).x + 30, SpotOf(i).y + 30, 30, 0, 2 * G_PI);
            } else {
                cairo_new_path(cr);
                CairoRoundRect(cr, SpotOf(i).x, SpotOf(i).y, 89, 49, 8);
            }
            cairo_set_source_rgb(cr, 250 / 255.0, 220 / 255.0, (i % 256) / 255.0);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 80 / 255.0, 60 / 255.0, 40 / 255.0);
            cairo_stroke(cr);
        }
    cairo_destroy(cr);
}

// ---- anti-aliased circles filled through a clip: a rectangle, and a circle path ----

const int kClippedShapes = 1000;

void BM_ClippedFills(benchmark::State& state, bool round)
{
    Gdiplus::Graphics graphics(Canvas().GetBitmap());
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::GraphicsPath circle;
    circle.AddEllipse(460.0f, 40.0f, 1000.0f, 1000.0f);
    if (round)
        graphics.SetClip(&circle);
    else
        graphics.SetClip(Gdiplus::Rect(200, 100, 1500, 800));
    for (auto _ : state)
        for (int i = 0; i < kClippedShapes; ++i) {
            Gdiplus::SolidBrush brush(Gdiplus::Color(255, 250, 220, BYTE(i)));
            graphics.FillEllipse(&brush, float(SpotOf(i).x), float(SpotOf(i).y), 60.0f, 60.0f);
        }
}

void BM_QtClippedFills(benchmark::State& state, bool round)
{
    QPainter painter(&QtCanvas());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QPainterPath circle;
    circle.addEllipse(QRectF(460, 40, 1000, 1000));
    if (round)
        painter.setClipPath(circle);
    else
        painter.setClipRect(QRect(200, 100, 1500, 800));
    for (auto _ : state)
        for (int i = 0; i < kClippedShapes; ++i) {
            painter.setBrush(QColor(250, 220, i % 256));
            painter.drawEllipse(QRectF(SpotOf(i).x, SpotOf(i).y, 60, 60));
        }
}

void BM_CairoClippedFills(benchmark::State& state, bool round)
{
    cairo_t* cr = cairo_create(CairoCanvas());
    if (round)
        cairo_arc(cr, 960, 540, 500, 0, 2 * G_PI);
    else
        cairo_rectangle(cr, 200, 100, 1500, 800);
    cairo_clip(cr);
    for (auto _ : state)
        for (int i = 0; i < kClippedShapes; ++i) {
            cairo_new_path(cr);
            cairo_arc(cr, SpotOf(i).x + 30, SpotOf(i).y + 30, 30, 0, 2 * G_PI);
            cairo_set_source_rgb(cr, 250 / 255.0, 220 / 255.0, (i % 256) / 255.0);
            cairo_fill(cr);
        }
    cairo_destroy(cr);
}

// ---- lines, solid and dashed: 1000 lines of 2 pixels, anti-aliased ----

const int kLines = 1000;

void BM_Lines(benchmark::State& state, bool dashed)
{
    for (auto _ : state)
        for (int i = 0; i < kLines; ++i)
            Canvas().Line(SpotOf(i).x, SpotOf(i).y, SpotOf(i).x + 40, SpotOf(i).y + 30, 255, 200, 30, BYTE(i), 2.0f,
                          dashed ? Gdiplus::DashStyleDash : Gdiplus::DashStyleSolid, Gdiplus::LineCapFlat,
                          Gdiplus::LineCapFlat);
}

void BM_QtLines(benchmark::State& state, bool dashed)
{
    QPainter painter(&QtCanvas());
    painter.setRenderHint(QPainter::Antialiasing);
    for (auto _ : state)
        for (int i = 0; i < kLines; ++i) {
            QPen pen(QColor(200, 30, i % 256), 2.0, dashed ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(QPointF(SpotOf(i).x, SpotOf(i).y), QPointF(SpotOf(i).x + 40, SpotOf(i).y + 30));
        }
}

void BM_CairoLines(benchmark::State& state, bool dashed)
{
    cairo_t* cr = cairo_create(CairoCanvas());
    cairo_set_line_width(cr, 2.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    // GDI+'s dash: 3 widths on, 1 off.
    const double pattern[] = {6.0, 2.0};
    if (dashed) cairo_set_dash(cr, pattern, 2, 0);
    for (auto _ : state)
        for (int i = 0; i < kLines; ++i) {
            cairo_move_to(cr, SpotOf(i).x, SpotOf(i).y);
            cairo_line_to(cr, SpotOf(i).x + 40, SpotOf(i).y + 30);
            cairo_set_source_rgb(cr, 200 / 255.0, 30 / 255.0, (i % 256) / 255.0);
            cairo_stroke(cr);
        }
    cairo_destroy(cr);
}

const bool kRegistered = [] {
    auto add = [](const std::string& name, auto run) {
        return benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMillisecond);
    };
    // Qt's smooth scaling runs on every core: CPU time is counted for the whole process, and both CPU
    // and wall time are compared.
    const std::string resample = "/4000x3000-to-800x600";
    for (const char* name : {"peer:ReSampling", "peer:qt", "peer:cairo"}) {
        auto run = std::string(name) == "peer:ReSampling" ? BM_ReSampling
                   : std::string(name) == "peer:qt"       ? BM_QtScaled
                                                          : BM_CairoScaled;
        add(name + resample, run)->MeasureProcessCPUTime()->UseRealTime();
    }
    PeerRows().push_back({"peer:ReSampling" + resample, {"peer:qt" + resample, "peer:cairo" + resample}, 1.0, 1.5});

    for (Script script : {Script::Latin, Script::Hangul}) {
        const std::string text = script == Script::Hangul ? "/200-hangul-strings" : "/200-strings";
        add("peer:Text" + text, [script](benchmark::State& s) { BM_Text(s, script); });
        add("peer:Text-in-rect" + text, [script](benchmark::State& s) { BM_TextInRect(s, script); });
        add("peer:qt-text" + text, [script](benchmark::State& s) { BM_QtText(s, false, script); });
        add("peer:qt-text-in-rect" + text, [script](benchmark::State& s) { BM_QtText(s, true, script); });
        add("peer:pango-text" + text, [script](benchmark::State& s) { BM_PangoText(s, false, script); });
        add("peer:pango-text-in-rect" + text, [script](benchmark::State& s) { BM_PangoText(s, true, script); });
        PeerRows().push_back({"peer:Text" + text, {"peer:qt-text" + text, "peer:pango-text" + text}, 1.0, 0});
        PeerRows().push_back(
            {"peer:Text-in-rect" + text, {"peer:qt-text-in-rect" + text, "peer:pango-text-in-rect" + text}, 1.0, 0});
    }

    const std::string gradient = "/1920x1080-x20";
    add("peer:FillGradientRect" + gradient, [](benchmark::State& s) { BM_Gradient(s, 0); });
    add("peer:FillGradientRectH" + gradient, [](benchmark::State& s) { BM_Gradient(s, 1); });
    add("peer:FillGradientRectHalf" + gradient, [](benchmark::State& s) { BM_Gradient(s, 2); });
    add("peer:qt-gradient-down" + gradient, [](benchmark::State& s) { BM_QtGradient(s, false); });
    add("peer:qt-gradient-across" + gradient, [](benchmark::State& s) { BM_QtGradient(s, true); });
    add("peer:cairo-gradient-down" + gradient, [](benchmark::State& s) { BM_CairoGradient(s, false); });
    add("peer:cairo-gradient-across" + gradient, [](benchmark::State& s) { BM_CairoGradient(s, true); });
    const std::vector<std::string> down = {"peer:qt-gradient-down" + gradient, "peer:cairo-gradient-down" + gradient};
    PeerRows().push_back({"peer:FillGradientRect" + gradient, down, 1.0, 0});
    PeerRows().push_back({"peer:FillGradientRectH" + gradient,
                          {"peer:qt-gradient-across" + gradient, "peer:cairo-gradient-across" + gradient},
                          1.0,
                          0});
    PeerRows().push_back({"peer:FillGradientRectHalf" + gradient, down, 1.0, 0});

    const std::string rectangles = "/1000";
    add("peer:FillRect" + rectangles, BM_Rect);
    add("peer:qt-rect" + rectangles, BM_QtRect);
    add("peer:cairo-rect" + rectangles, BM_CairoRect);
    PeerRows().push_back(
        {"peer:FillRect" + rectangles, {"peer:qt-rect" + rectangles, "peer:cairo-rect" + rectangles}, 1.0, 0});

    const std::string shapes = "/200";
    add("peer:FillRoundRect" + shapes, BM_RoundRect);
    add("peer:Circle" + shapes, BM_Circle);
    add("peer:qt-roundrect" + shapes, [](benchmark::State& s) { BM_QtShapes(s, false); });
    add("peer:qt-circle" + shapes, [](benchmark::State& s) { BM_QtShapes(s, true); });
    add("peer:cairo-roundrect" + shapes, [](benchmark::State& s) { BM_CairoShapes(s, false); });
    add("peer:cairo-circle" + shapes, [](benchmark::State& s) { BM_CairoShapes(s, true); });
    PeerRows().push_back(
        {"peer:FillRoundRect" + shapes, {"peer:qt-roundrect" + shapes, "peer:cairo-roundrect" + shapes}, 1.0, 0});
    PeerRows().push_back({"peer:Circle" + shapes, {"peer:qt-circle" + shapes, "peer:cairo-circle" + shapes}, 1.0, 0});

    const std::string clipped = "/1000";
    for (const std::string form : {"rect", "path"}) {
        const bool round = form == "path";
        add("peer:ClippedFills-" + form + clipped, [round](benchmark::State& s) { BM_ClippedFills(s, round); });
        add("peer:qt-clipped-" + form + clipped, [round](benchmark::State& s) { BM_QtClippedFills(s, round); });
        add("peer:cairo-clipped-" + form + clipped, [round](benchmark::State& s) { BM_CairoClippedFills(s, round); });
        PeerRows().push_back({"peer:ClippedFills-" + form + clipped,
                              {"peer:qt-clipped-" + form + clipped, "peer:cairo-clipped-" + form + clipped},
                              1.0,
                              0});
    }
    const std::string lines = "/1000";
    add("peer:Line" + lines, [](benchmark::State& s) { BM_Lines(s, false); });
    add("peer:DashedLine" + lines, [](benchmark::State& s) { BM_Lines(s, true); });
    add("peer:qt-line" + lines, [](benchmark::State& s) { BM_QtLines(s, false); });
    add("peer:qt-dashed-line" + lines, [](benchmark::State& s) { BM_QtLines(s, true); });
    add("peer:cairo-line" + lines, [](benchmark::State& s) { BM_CairoLines(s, false); });
    add("peer:cairo-dashed-line" + lines, [](benchmark::State& s) { BM_CairoLines(s, true); });
    PeerRows().push_back({"peer:Line" + lines, {"peer:qt-line" + lines, "peer:cairo-line" + lines}, 1.0, 0});
    PeerRows().push_back(
        {"peer:DashedLine" + lines, {"peer:qt-dashed-line" + lines, "peer:cairo-dashed-line" + lines}, 1.0, 0});
    return true;
}();

}  // namespace
