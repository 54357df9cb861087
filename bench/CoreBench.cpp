// Clear against memset of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "FxPictor.h"
#include "Ratios.h"

namespace {

void BM_Clear(benchmark::State& state, CanvasSize size)
{
    CFxPictor canvas(nullptr, size.width, size.height);
    BYTE shade = 0;
    for (auto _ : state) {
        canvas.Clear(shade, 40, 80, 255);
        ++shade;
    }
    state.SetBytesProcessed(state.iterations() * int64_t(size.width) * size.height * 4);
}

void BM_Memset(benchmark::State& state, CanvasSize size)
{
    std::vector<uint32_t> pixels(size_t(size.width) * size.height);
    int shade = 0;
    for (auto _ : state) {
        std::memset(pixels.data(), shade++, pixels.size() * 4);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(size.width) * size.height * 4);
}

const bool kRegistered = [] {
    for (const CanvasSize& size : kPixelSizes) {
        benchmark::RegisterBenchmark(("Clear/" + SizeName(size)).c_str(), BM_Clear, size)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("memset/" + SizeName(size)).c_str(), BM_Memset, size)->Unit(benchmark::kMicrosecond);
        RatioRows().push_back({"Clear/" + SizeName(size), "memset/" + SizeName(size), 2.0});
    }
    return true;
}();

}  // namespace
