// The dependency analysis of a scanned project against the scan itself, in one process:
// building the uses graph, its cycles, the dominators with the exclusive sizes, and the DOT
// document of the whole graph. Each step's fastest wall-clock and CPU time over the runs (the
// runs least disturbed by other work on the machine) are printed, and their sums as shares
// of the scan's.
//
//   bench_analysis PROJECT [RUNS]
//
// PROJECT is scanned as `unitrace-cli --delphi 5.0` scans it (options file, no registry).
#include "analysis/Cycles.h"
#include "analysis/Dominators.h"
#include "analysis/UnitGraph.h"
#include "platform/FileSystem.h"
#include "report/DotExport.h"
#include "scan/ProjectScan.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ut;
using Clock = std::chrono::steady_clock;

class QuietFrontEnd : public ScanFrontEnd {
  public:
    void AppendLog(const LogLine&) override {}
};

struct Timing {
    double Wall = 0; ///< seconds
    double Cpu = 0;  ///< seconds of this process's CPU time
    Timing& operator+=(const Timing& t) {
        Wall += t.Wall;
        Cpu += t.Cpu;
        return *this;
    }
};

double CpuNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The fastest wall-clock and CPU times of `runs` calls of `step`.
Timing Fastest(int runs, const std::function<void()>& step) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        const double cpuStart = CpuNow();
        step();
        cpu.push_back(CpuNow() - cpuStart);
        wall.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    return {*std::min_element(wall.begin(), wall.end()), *std::min_element(cpu.begin(), cpu.end())};
}

void Print(const char* name, const Timing& t, const char* note = "") {
    std::printf("%-12s %9.2f ms wall %9.2f ms CPU%s\n", name, t.Wall * 1000, t.Cpu * 1000, note);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: bench_analysis PROJECT [RUNS]\n");
        return 2;
    }
    const std::string project = fs::ExpandFileName(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QuietFrontEnd frontEnd;
    std::unique_ptr<ProjectScan> scan;
    const Timing scanTime = Fastest(runs, [&] {
        scan = std::make_unique<ProjectScan>(frontEnd);
        scan->Inputs.Delphi = "5.0";
        scan->Inputs.Project = project;
        scan->LoadProjectOptions();
        if (!scan->ScanProject(project)) {
            std::fprintf(stderr, "bench_analysis: the scan of %s did not complete\n",
                         project.c_str());
            std::exit(1);
        }
    });

    UnitGraph graph;
    CycleReport cycles;
    std::vector<std::optional<std::int64_t>> exclusive;
    std::string dot;
    const Timing graphTime = Fastest(runs, [&] { graph = BuildUnitGraph(*scan); });
    const Timing cycleTime = Fastest(runs, [&] { cycles = FindCycles(graph); });
    const Timing dominatorTime = Fastest(
        runs, [&] { exclusive = ExclusiveSizes(graph, ImmediateDominators(graph, graph.Root())); });
    const Timing dotTime = Fastest(runs, [&] { dot = ExportDot(graph, cycles); });

    size_t edges = 0, largest = 0, interface = 0;
    for (const GraphNode& n : graph.Nodes())
        edges += n.Uses.size();
    for (const UnitCycle& c : cycles.Cycles) {
        largest = std::max(largest, c.Units.size());
        interface += c.Interface;
    }
    Timing total = graphTime;
    total += cycleTime;
    total += dominatorTime;
    total += dotTime;
    std::printf("graph:       %d units, %zu uses entries between them; %zu cycles (largest %zu "
                "units, %zu interface)\n",
                graph.Count(), edges, cycles.Cycles.size(), largest, interface);
    std::printf("timing:      the fastest of %d runs\n", runs);
    Print("scan:", scanTime);
    Print("build graph:", graphTime);
    Print("cycles:", cycleTime);
    Print("dominators:", dominatorTime, "  (with exclusive sizes)");
    Print("dot:", dotTime, ("  (" + std::to_string(dot.size()) + " bytes)").c_str());
    Print("analysis:", total);
    std::printf("share:       %.1f%% of the scan's wall clock, %.1f%% of its CPU time "
                "(target < 10%%)\n",
                100 * total.Wall / scanTime.Wall, 100 * total.Cpu / scanTime.Cpu);
    return 0;
}
