// Runs every benchmark, then prints each member's time as a ratio to its reference.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

#include "Ratios.h"

std::vector<RatioRow>& RatioRows()
{
    static std::vector<RatioRow> rows;
    return rows;
}

std::string SizeName(const CanvasSize& size) { return std::to_string(size.width) + "x" + std::to_string(size.height); }

namespace {

// Keeps the real time per iteration of every run while printing as usual.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                times[run.run_name.str()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

void PrintRatios(const std::map<std::string, double>& times)
{
    std::printf("\n%-40s %-32s %10s %8s  %s\n", "member", "reference", "ratio", "target", "");
    for (const RatioRow& row : RatioRows()) {
        auto member = times.find(row.member);
        auto reference = times.find(row.reference);
        if (member == times.end() || reference == times.end() || reference->second <= 0) continue;
        double ratio = member->second / reference->second;
        std::printf("%-40s %-32s %10.2f %8.2f  %s\n", row.member.c_str(), row.reference.c_str(), ratio, row.target,
                    ratio <= row.target ? "ok" : "MISSED");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter.times);
    benchmark::Shutdown();
    return 0;
}
