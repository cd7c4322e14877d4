// Tokenizer throughput in bytes per second, on a generated source and on the Free Pascal
// sources of the installed fpc-source package, beside what merely reading the same bytes
// costs: touching every byte once, copying them, and (for the FPC tree) loading the files.
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/TempFile.h"
#include "scanner/Tokenizer.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace ut;

// A deterministic source of about `bytes` bytes: units as they are written in practice, with
// uses lists, directives, block and line comments, strings with quotes and character codes,
// integers, hexadecimal and floating-point numbers.
std::string GeneratedSource(std::size_t bytes) {
    static const char* const words[] = {"Customer", "Order", "Invoice", "Ledger", "Stock", "Price",
                                        "Report",   "Query", "Item",    "List",   "Cache", "Filter",
                                        "Batch",    "Entry", "Header",  "Grid"};
    static const char* const types[] = {"Integer", "string",    "Double",
                                        "Boolean", "TDateTime", "Currency"};
    std::mt19937 rng(4711u);
    const auto pick = [&](const auto& table) { return table[rng() % std::size(table)]; };
    const auto name = [&] { return std::string(pick(words)) + pick(words); };

    std::string s;
    s.reserve(bytes + 4096);
    for (int unit = 0; s.size() < bytes; ++unit) {
        s += "unit U" + name() + std::to_string(unit) + ";\r\n\r\n";
        s += "{ " + name() + ": keeps the " + name() +
             " records and their totals.\r\n"
             "  Changed for the " +
             name() + " import. }\r\n\r\n";
        s += "interface\r\n\r\nuses\r\n  Windows, Messages, SysUtils, Classes,\r\n"
             "  {$IFDEF REPORTS} QuickRpt, {$ENDIF}\r\n  U" +
             name() + ", U" + name() + ";\r\n\r\n";
        s += "{$I Settings.inc}\r\n\r\ntype\r\n  T" + name() + " = class(TObject)\r\n  private\r\n";
        for (int f = 0; f < 6; ++f)
            s += "    F" + name() + ": " + pick(types) + "; // " + name() + " of the row\r\n";
        s += "  public\r\n    procedure Load(const AName: string; ACount: Integer);\r\n"
             "  end;\r\n\r\nimplementation\r\n\r\nuses Math, DB;\r\n\r\n";
        s += "const\r\n  Limit = " + std::to_string(rng() % 100000) + ";\r\n  Mask = $" +
             std::to_string(1000 + rng() % 9000) +
             "FF;\r\n  Rate = " + std::to_string(rng() % 100) + ".25e-2;\r\n\r\n";
        s += "procedure T" + name() +
             ".Load(const AName: string; ACount: Integer);\r\n"
             "var\r\n  I: Integer;\r\n  S: string;\r\nbegin\r\n";
        for (int line = 0; line < 12; ++line) {
            switch (rng() % 4) {
            case 0:
                s += "  S := 'It''s the " + name() + " line'#13#10 + AName;\r\n";
                break;
            case 1:
                s += "  for I := 0 to ACount - 1 do (* " + name() + " *)\r\n    Inc(F" + name() +
                     ", I * " + std::to_string(rng() % 1000) + ");\r\n";
                break;
            case 2:
                s += "  {$IFDEF DEBUG} Log('" + name() + "', ACount); {$ENDIF}\r\n";
                break;
            default:
                s += "  if (ACount > Limit) and (S <> '') then\r\n    F" + name() +
                     " := Round(ACount * Rate);\r\n";
                break;
            }
        }
        s += "end;\r\n\r\nend.\r\n";
    }
    return s;
}

const std::string& Generated() {
    static const std::string text = GeneratedSource(4u << 20);
    return text;
}

std::vector<std::string> CommandLines(const std::vector<std::string>& argv) {
    std::string out;
    if (platform::MakeTempFileName("fpc", out).empty())
        return {};
    const platform::TProcessResult r = platform::RunProcess(argv, out, std::chrono::seconds(60));
    std::vector<std::string> lines;
    if (r.Started && r.ExitCode == 0) {
        std::ifstream in(out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
    }
    std::filesystem::remove(out);
    return lines;
}

/// The .pas/.pp files of the installed fpc-source packages.
const std::vector<std::string>& FpcFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> result;
        for (const std::string& line :
             CommandLines({"dpkg-query", "-W", "-f=${Package}\t${Status}\n", "fpc-source*"})) {
            std::string status = line, package;
            SplitFirst(status, '\t', package);
            if (status.find("ok installed") == std::string::npos)
                continue;
            for (const std::string& path : CommandLines({"dpkg", "-L", package})) {
                const std::string ext = ExtractFileExt(path);
                if ((SameText(ext, ".pas") || SameText(ext, ".pp")) && fs::FileExists(path))
                    result.push_back(path);
            }
        }
        std::sort(result.begin(), result.end());
        result.erase(std::unique(result.begin(), result.end()), result.end());
        return result;
    }();
    return files;
}

/// The FPC sources, read into memory once.
const std::vector<std::string>& FpcTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> result;
        for (const std::string& path : FpcFiles())
            result.push_back(LoadFileText(path));
        return result;
    }();
    return texts;
}

std::size_t TotalSize(const std::vector<std::string>& texts) {
    std::size_t n = 0;
    for (const std::string& t : texts)
        n += t.size();
    return n;
}

/// Tokens of one text up to its end or its first error; `errors` counts the texts that end in
/// an error (their bytes after it are counted as processed all the same).
std::int64_t Tokenize(const std::string& text, std::int64_t& errors) {
    std::int64_t tokens = 0;
    try {
        TTokenizer scanner(text, "bench.pas");
        for (int t = scanner.Token(); t != toEOF; t = scanner.NextToken())
            ++tokens;
    } catch (const EParserError&) {
        ++errors;
    }
    return tokens;
}

/// Touches every byte once: the least any reader of the text must do.
std::uint64_t TouchBytes(const std::string& text) {
    std::uint64_t sum = 0;
    for (const unsigned char c : text)
        sum += c;
    return sum;
}

bool NeedFpc(benchmark::State& state) {
    if (FpcTexts().empty()) {
        state.SkipWithError("no fpc-source package installed");
        return false;
    }
    return true;
}

void SetBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

void BM_Tokenize_Generated(benchmark::State& state) {
    const std::string& text = Generated();
    std::int64_t tokens = 0, errors = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(tokens = Tokenize(text, errors));
    if (errors > 0)
        state.SkipWithError("the generated source does not tokenize");
    SetBytes(state, text.size());
    state.counters["tokens"] = static_cast<double>(tokens);
}

void BM_TouchBytes_Generated(benchmark::State& state) {
    const std::string& text = Generated();
    for (auto _ : state)
        benchmark::DoNotOptimize(TouchBytes(text));
    SetBytes(state, text.size());
}

void BM_Copy_Generated(benchmark::State& state) {
    const std::string& text = Generated();
    std::string copy(text.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), text.data(), text.size());
        benchmark::ClobberMemory();
    }
    SetBytes(state, text.size());
}

void BM_Tokenize_Fpc(benchmark::State& state) {
    if (!NeedFpc(state))
        return;
    std::int64_t tokens = 0, errors = 0;
    for (auto _ : state) {
        tokens = errors = 0;
        for (const std::string& text : FpcTexts())
            tokens += Tokenize(text, errors);
        benchmark::DoNotOptimize(tokens);
    }
    SetBytes(state, TotalSize(FpcTexts()));
    state.counters["files"] = static_cast<double>(FpcTexts().size());
    state.counters["tokens"] = static_cast<double>(tokens);
    state.counters["errors"] = static_cast<double>(errors);
}

void BM_TouchBytes_Fpc(benchmark::State& state) {
    if (!NeedFpc(state))
        return;
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (const std::string& text : FpcTexts())
            sum += TouchBytes(text);
        benchmark::DoNotOptimize(sum);
    }
    SetBytes(state, TotalSize(FpcTexts()));
}

void BM_Copy_Fpc(benchmark::State& state) {
    if (!NeedFpc(state))
        return;
    std::string copy(TotalSize(FpcTexts()), '\0');
    for (auto _ : state) {
        char* to = copy.data();
        for (const std::string& text : FpcTexts()) {
            std::memcpy(to, text.data(), text.size());
            to += text.size();
        }
        benchmark::ClobberMemory();
    }
    SetBytes(state, copy.size());
}

/// Reading the files themselves (from the page cache after the first round).
void BM_LoadFiles_Fpc(benchmark::State& state) {
    if (!NeedFpc(state))
        return;
    for (auto _ : state)
        for (const std::string& path : FpcFiles())
            benchmark::DoNotOptimize(LoadFileText(path));
    SetBytes(state, TotalSize(FpcTexts()));
}

BENCHMARK(BM_Tokenize_Generated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TouchBytes_Generated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Copy_Generated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tokenize_Fpc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TouchBytes_Fpc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Copy_Fpc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFiles_Fpc)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
