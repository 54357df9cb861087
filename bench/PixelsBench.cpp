// Raw pixel access, alpha work and the equal-size pixel copy against memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "FxPictor.h"
#include "Ratios.h"
#include "gdiplus/engine/GdiplusFlat.h"

namespace {

namespace flat = Gdiplus::DllExports;

int64_t Bytes(const CanvasSize& size) { return int64_t(size.width) * size.height * 4; }

// A picture as canvases usually hold: opaque, with a transparent band and a few soft edges.
void Paint(CFxPictor& canvas, const CanvasSize& size)
{
    std::vector<uint32_t> pixels(size_t(size.width) * size.height);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            uint32_t colour = uint32_t(x * 7 + y * 13) & 0x00FFFFFFu;
            uint32_t alpha = y < size.height / 10 ? 0u : (x % 97 == 0 ? 0x80u : 0xFFu);
            pixels[size_t(y) * size.width + x] = alpha << 24 | colour;
        }
    canvas.SetBits(reinterpret_cast<BYTE*>(pixels.data()), 0, 0);
}

void BM_Memcpy(benchmark::State& state, CanvasSize size)
{
    std::vector<BYTE> from(size_t(Bytes(size)), 1), to(size_t(Bytes(size)));
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * Bytes(size));
}

void BM_GetBits(benchmark::State& state, CanvasSize size)
{
    CFxPictor canvas(nullptr, size.width, size.height);
    Paint(canvas, size);
    std::vector<BYTE> buffer(size_t(Bytes(size)));
    for (auto _ : state) canvas.GetBits(buffer.data(), 0, 0, size.width, size.height);
    state.SetBytesProcessed(state.iterations() * Bytes(size));
}

void BM_SetBits(benchmark::State& state, CanvasSize size)
{
    CFxPictor canvas(nullptr, size.width, size.height);
    Paint(canvas, size);
    std::vector<BYTE> buffer(size_t(Bytes(size)));
    canvas.GetBits(buffer.data(), 0, 0, size.width, size.height);
    for (auto _ : state) canvas.SetBits(buffer.data(), 0, 0);
    state.SetBytesProcessed(state.iterations() * Bytes(size));
}

void BM_SetAlpha(benchmark::State& state, CanvasSize size)
{
    CFxPictor canvas(nullptr, size.width, size.height);
    Paint(canvas, size);
    std::vector<BYTE> picture(size_t(Bytes(size)));
    canvas.GetBits(picture.data(), 0, 0, size.width, size.height);
    BYTE alpha = 0;
    for (auto _ : state) {
        canvas.SetAlpha(alpha += 37);
        // Each run starts from the picture, not from the last run's alpha.
        state.PauseTiming();
        canvas.SetBits(picture.data(), 0, 0);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * Bytes(size));
}

void BM_SetColorToAlphaZero(benchmark::State& state, CanvasSize size)
{
    CFxPictor canvas(nullptr, size.width, size.height);
    Paint(canvas, size);
    BYTE key = 0;
    for (auto _ : state) canvas.SetColorToAlphaZero(key++, 10, 20);
    state.SetBytesProcessed(state.iterations() * Bytes(size));
}

void BM_CopyToThis(benchmark::State& state, CanvasSize size)
{
    CFxPictor source(nullptr, size.width, size.height), dest(nullptr, size.width, size.height);
    Paint(source, size);
    for (auto _ : state) source.CopyToThis(&dest);
    state.SetBytesProcessed(state.iterations() * Bytes(size));
}

// A copy at half opacity: the alpha-only colour matrix of ImageAttributes.
void BM_CopyToThisAlpha(benchmark::State& state, CanvasSize size)
{
    CFxPictor source(nullptr, size.width, size.height), dest(nullptr, size.width, size.height);
    Paint(source, size);
    for (auto _ : state) source.CopyToThisAlpha(&dest, 0, 0, size.width, size.height, 0.5f);
    state.SetBytesProcessed(state.iterations() * Bytes(size));
}

// A drawn copy (source over, through DrawImage) of a picture: unscaled onto the whole canvas, or a picture of
// half the canvas's sides enlarged to fill it (bilinear); the layer's route or the engine's own.
void BM_DrawnCopy(benchmark::State& state, CanvasSize size, bool enlarged, bool engine)
{
    const int from = enlarged ? 2 : 1;
    CFxPictor source(nullptr, size.width / from, size.height / from), dest(nullptr, size.width, size.height);
    Paint(source, {size.width / from, size.height / from});
    flat::GpImage* picture = source.GetBitmap()->NativeImage();
    flat::GpGraphics* graphics = dest.m_pGraphics->NativeGraphics();
    for (auto _ : state) {
        if (engine)
            flat::GdipDrawImageRectRectI(graphics, picture, 0, 0, size.width, size.height, 0, 0, size.width / from,
                                         size.height / from, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
        else
            source.CopyToThis(&dest, 0, 0, size.width, size.height);
    }
    state.SetBytesProcessed(state.iterations() * Bytes(size));
}

const bool kRegistered = [] {
    const CanvasSize full{1920, 1080};
    for (bool enlarged : {false, true}) {
        const std::string what = std::string(enlarged ? "enlarged/" : "unscaled/") + SizeName(full);
        const std::string ours = "DrawnCopy/" + what, engines = "engine:drawn-copy/" + what;
        benchmark::RegisterBenchmark(ours.c_str(), BM_DrawnCopy, full, enlarged, false)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(engines.c_str(), BM_DrawnCopy, full, enlarged, true)
            ->Unit(benchmark::kMicrosecond);
        RatioRows().push_back({ours, engines, 1.0});
    }

    struct Member {
        const char* name;
        void (*run)(benchmark::State&, CanvasSize);
    } members[] = {
        {"GetBits", BM_GetBits},   {"SetBits", BM_SetBits},
        {"SetAlpha", BM_SetAlpha}, {"SetColorToAlphaZero", BM_SetColorToAlphaZero},
        {"CopyToThis", BM_CopyToThis},
    };
    for (const CanvasSize& size : kPixelSizes) {
        const std::string reference = "memcpy/" + SizeName(size);
        benchmark::RegisterBenchmark(reference.c_str(), BM_Memcpy, size)->Unit(benchmark::kMicrosecond);
        for (const Member& member : members) {
            const std::string name = std::string(member.name) + "/" + SizeName(size);
            benchmark::RegisterBenchmark(name.c_str(), member.run, size)->Unit(benchmark::kMicrosecond);
            RatioRows().push_back({name, reference, 2.0});
        }
        // Against the plain copy: the opacity adds one pass over the picture.
        const std::string alpha = "CopyToThisAlpha/" + SizeName(size);
        benchmark::RegisterBenchmark(alpha.c_str(), BM_CopyToThisAlpha, size)->Unit(benchmark::kMicrosecond);
        RatioRows().push_back({alpha, "CopyToThis/" + SizeName(size), 2.0});
    }
    return true;
}();

}  // namespace
