// Runs every benchmark, then prints each member's time as a ratio to its reference.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "Ratios.h"

std::vector<RatioRow>& RatioRows()
{
    static std::vector<RatioRow> rows;
    return rows;
}

std::vector<PeerRow>& PeerRows()
{
    static std::vector<PeerRow> rows;
    return rows;
}

std::string SizeName(const CanvasSize& size) { return std::to_string(size.width) + "x" + std::to_string(size.height); }

namespace {

// A run's name without the suffixes its time settings add.
std::string PlainName(const benchmark::BenchmarkReporter::Run& run)
{
    std::string name = run.run_name.str();
    for (const char* suffix : {"/real_time", "/process_time"}) {
        const size_t at = name.rfind(suffix);
        if (at != std::string::npos && at + std::strlen(suffix) == name.size()) name.erase(at);
    }
    return name;
}

// Keeps the real and CPU time per iteration of every run while printing as usual.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times[PlainName(run)] = run.GetAdjustedRealTime();
                cpuTimes[PlainName(run)] = run.GetAdjustedCPUTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, double> cpuTimes;
};

// The fastest peer's name and time, or an empty name when none ran.
std::pair<std::string, double> BestPeer(const PeerRow& row, const std::map<std::string, double>& times)
{
    std::pair<std::string, double> best{"", 0.0};
    for (const std::string& peer : row.peers) {
        auto found = times.find(peer);
        if (found != times.end() && found->second > 0 && (best.first.empty() || found->second < best.second))
            best = *found;
    }
    return best;
}

void PrintPeerRatio(const char* what, const PeerRow& row, const std::map<std::string, double>& times, double target)
{
    auto member = times.find(row.member);
    const auto best = BestPeer(row, times);
    if (member == times.end() || best.first.empty()) return;
    const double ratio = member->second / best.second;
    if (target <= 0) {  // a peer shown for comparison only
        std::printf("%-44s %-4s %-36s %8.2f %8s\n", row.member.c_str(), what, best.first.c_str(), ratio, "-");
        return;
    }
    std::printf("%-44s %-4s %-36s %8.2f %8.2f  %s\n", row.member.c_str(), what, best.first.c_str(), ratio, target,
                ratio <= target ? "ok" : "MISSED");
}

void PrintPeerRatios(const RecordingReporter& reporter)
{
    if (PeerRows().empty()) return;
    std::printf("\n%-44s %-4s %-36s %8s %8s\n", "member", "time", "best peer", "ratio", "target");
    for (const PeerRow& row : PeerRows()) {
        if (row.wallTarget > 0) {
            PrintPeerRatio("cpu", row, reporter.cpuTimes, row.target);
            PrintPeerRatio("wall", row, reporter.times, row.wallTarget);
        } else {
            PrintPeerRatio("cpu", row, reporter.cpuTimes, row.target);
        }
    }
}

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
    PrintRatios(reporter.cpuTimes);
    PrintPeerRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
