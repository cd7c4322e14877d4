// Map file reading in bytes per second: an ordinary segment list of many modules, and single
// segment lines of 4 MB and 20 MB made of many fields, which must cost no more per byte.
#include "mapfile/MapFile.h"
#include "support/Exceptions.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <sstream>
#include <string>

namespace {

const char* const Heading = "Detailed map of segments\r\n\r\n";

std::string ManyModules(int modules) {
    std::string text = Heading;
    for (int i = 0; i < modules; ++i)
        text += ut::Format(" 0001:%08X 00000100 C=CODE S=.text G=(none) M=Module%05d ACBP=A9\r\n",
                           i * 256, i);
    return text;
}

std::string WideLine(std::size_t bytes) {
    std::string text = std::string(Heading) + " 0001:00000000 00000010 C=CODE";
    while (text.size() < bytes)
        text += " G=x";
    return text + " M=Wide\r\n";
}

void Read(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        std::istringstream in(text);
        ut::TUnitSizes sizes;
        ut::ReadMapStream(in, sizes);
        benchmark::DoNotOptimize(sizes.Count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void BM_ReadMap_ManyModules(benchmark::State& state) {
    Read(state, ManyModules(static_cast<int>(state.range(0))));
}

void BM_ReadMap_WideLine(benchmark::State& state) {
    Read(state, WideLine(static_cast<std::size_t>(state.range(0)) << 20));
}

} // namespace

BENCHMARK(BM_ReadMap_ManyModules)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadMap_WideLine)->Arg(4)->Arg(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
