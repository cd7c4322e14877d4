// The dependency analysis of a scanned project against the scan itself, in one process:
// building the uses graph, its cycles, the dominators with the exclusive sizes, the DOT
// document of the whole graph, the levels, the recompile reach and the cuts of the cycles.
// Each step's fastest wall-clock and CPU time over the runs (the runs least disturbed by other
// work on the machine) are printed, and their sums as shares of the scan's; then how the
// cuts of a ring and the recompile reach of a chain grow from 10,000 to 100,000 units.
//
//   bench_analysis PROJECT [RUNS]
//
// PROJECT is scanned as `unitrace-cli --delphi 5.0` scans it (options file, no registry).
#include "analysis/CycleCuts.h"
#include "analysis/Cycles.h"
#include "analysis/Dominators.h"
#include "analysis/Levels.h"
#include "analysis/RecompileReach.h"
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

// A ring of `n` units, or with `chain` a chain of them, each using the next from its interface.
UnitGraph Ring(int n, bool chain) {
    std::vector<ResultUnit> units(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        units[i].Key = "U" + std::to_string(i);
        if (!chain || i + 1 < n)
            units[i].Uses.push_back({"U" + std::to_string((i + 1) % n), true, 1, {}});
    }
    return UnitGraph(std::move(units), "U0", false);
}

// Near-linear time: the cuts of a ring and the recompile reach of a chain, each at ten times
// the units, should take about ten times as long.
void PrintScaling(int runs) {
    Timing ring[2], chain[2];
    for (int i = 0; i < 2; ++i) {
        const int n = i ? 100000 : 10000;
        const UnitGraph r = Ring(n, false), c = Ring(n, true);
        const CycleReport cycles = FindCycles(r);
        ring[i] = Fastest(runs, [&] { CutCycles(r, cycles, EntryCosts()); });
        chain[i] = Fastest(runs, [&] { RecompileReach(c); });
    }
    std::printf("scaling:     10,000 -> 100,000 units: ring cuts x%.1f, chain recompile x%.1f "
                "(target < 20)\n",
                ring[1].Cpu / ring[0].Cpu, chain[1].Cpu / chain[0].Cpu);
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
    const Timing dotTime = Fastest(runs, [&] { dot = report::ExportDot(graph, cycles); });
    std::vector<int> levels, reach;
    std::vector<CycleCuts> cuts;
    const Timing levelTime = Fastest(runs, [&] { levels = UnitLevels(graph); });
    const Timing reachTime = Fastest(runs, [&] { reach = RecompileReach(graph); });
    const Timing cutTime = Fastest(runs, [&] { cuts = CutCycles(graph, cycles, EntryCosts()); });

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
    total += levelTime;
    size_t cutEntries = 0;
    for (const CycleCuts& c : cuts)
        cutEntries += c.Cuts.size();
    std::printf("graph:       %d units, %zu uses entries between them; %zu cycles (largest %zu "
                "units, %zu interface)\n",
                graph.Count(), edges, cycles.Cycles.size(), largest, interface);
    std::printf("timing:      the fastest of %d runs\n", runs);
    Print("scan:", scanTime);
    Print("build graph:", graphTime);
    Print("cycles:", cycleTime);
    Print("dominators:", dominatorTime, "  (with exclusive sizes)");
    Print("dot:", dotTime, ("  (" + std::to_string(dot.size()) + " bytes)").c_str());
    Print("levels:", levelTime);
    Print("analysis:", total);
    std::printf("share:       %.1f%% of the scan's wall clock, %.1f%% of its CPU time "
                "(target < 10%%)\n",
                100 * total.Wall / scanTime.Wall, 100 * total.Cpu / scanTime.Cpu);
    // Asked for by the JSON document, --cuts and --top recompile only.
    Print("recompile:", reachTime);
    Print("cuts:", cutTime, ("  (" + std::to_string(cutEntries) + " entries)").c_str());
    Timing requested = total;
    requested += reachTime;
    requested += cutTime;
    std::printf("with them:   %.1f%% of the scan's CPU time (target < 50%%)\n",
                100 * requested.Cpu / scanTime.Cpu);
    PrintScaling(runs);
    return 0;
}
