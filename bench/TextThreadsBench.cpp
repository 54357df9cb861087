// Text drawn by one thread and by two at once, each on a canvas of its own, the same work per thread: with
// no process-wide lock in the way, two threads finish twice the work in about the time one takes. Compare
// items_per_second of threads:1 and threads:2 (real time).
#include <benchmark/benchmark.h>

#include "FxPictor.h"

namespace {

const int kStringsPerRound = 200;
const CString kFamily("DejaVu Sans");
const CString kWords[] = {CString("Threads draw text"), CString("on canvases"), CString("of their own 0123"),
                          CString("without a lock")};

void BM_TextOnOwnCanvas(benchmark::State& state)
{
    CFxPictor canvas(nullptr, 800, 600);
    canvas.Clear(255, 255, 255, 255);
    for (auto _ : state)
        for (int i = 0; i < kStringsPerRound; ++i)
            canvas.Text((i * 37) % 700, (i * 53) % 560, 16, 255, 20, 20, BYTE(i), kFamily, kWords[i % 4]);
    state.SetItemsProcessed(state.iterations() * kStringsPerRound);
}

}  // namespace

BENCHMARK(BM_TextOnOwnCanvas)->Name("threads:Text")->Threads(1)->Threads(2)->UseRealTime();
