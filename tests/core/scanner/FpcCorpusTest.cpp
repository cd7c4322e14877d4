// The Free Pascal sources as a corpus: every .pas/.pp file of the installed fpc-source package
// is parsed with Free Pascal's symbols. Real code must never crash or hang the scanner, and
// every parse must end in a final state; the outcome is printed, apart from counts any sound
// reading of the tree gives. Under the sanitizers the ~4900 files take under a minute.
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "scan/ScanSymbols.h"
#include "scanner/Unit.h"
#include "support/ComUtil.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace ut;

/// Output lines of a command, empty when it cannot run.
std::vector<std::string> CommandLines(const std::vector<std::string>& argv) {
    std::string out;
    if (MakeTempFileName("fpc", out).empty())
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

/// The installed fpc-source packages (fpc-source-3.2.2 and the like).
std::vector<std::string> InstalledSourcePackages() {
    std::vector<std::string> packages;
    for (const std::string& line :
         CommandLines({"dpkg-query", "-W", "-f=${Package}\t${Status}\n", "fpc-source*"})) {
        std::string status = line, name;
        SplitFirst(status, '\t', name);
        if (status.find("ok installed") != std::string::npos)
            packages.push_back(name);
    }
    return packages;
}

std::vector<std::string> PascalSources(const std::vector<std::string>& packages) {
    std::vector<std::string> files;
    for (const std::string& p : packages)
        for (const std::string& path : CommandLines({"dpkg", "-L", p})) {
            const std::string ext = ExtractFileExt(path);
            if ((SameText(ext, ".pas") || SameText(ext, ".pp")) && fs::FileExists(path))
                files.push_back(path);
        }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

/// The inner text of a scanner message, with file paths and line numbers taken out, so that
/// the same fault in different files counts as one message.
std::string MessageGroup(const std::string& message) {
    static const std::regex located(R"re(^Error: "(.*)" on line \d+ of file .*$)re");
    static const std::regex path(R"re((/[^\s"/]+)+/?)re");
    std::smatch m;
    const std::string inner = std::regex_match(message, m, located) ? m[1].str() : message;
    return std::regex_replace(inner, path, "<file>");
}

/// Aborts the test program, naming the file, when one parse takes longer than `limit`.
class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds limit) : thread([this, limit] { Watch(limit); }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex);
            done = true;
        }
        wake.notify_all();
        thread.join();
    }
    void Start(const std::string& file) {
        std::lock_guard lock(mutex);
        current = file;
        ++generation;
    }

  private:
    void Watch(std::chrono::seconds limit) {
        std::unique_lock lock(mutex);
        while (!done) {
            const long seen = generation;
            if (!wake.wait_for(lock, limit, [&] { return done || generation != seen; })) {
                std::fprintf(stderr, "Parse of %s takes longer than %lld s: hang\n",
                             current.c_str(), static_cast<long long>(limit.count()));
                std::abort();
            }
        }
    }

    std::mutex mutex;
    std::condition_variable wake;
    std::string current;
    long generation = 0;
    bool done = false;
    std::thread thread;
};

/// Failures of the conditional directives, as opposed to the grammar.
bool IsDirectiveFailure(const std::string& group) {
    static const std::regex directive(
        R"re(^(Unknown \$\w+ directive|Unclosed ifdef!|Invalid \$\w+ expression.*|\$\w+ after \$else|Conditional directives nested.*)$)re");
    return std::regex_match(group, directive);
}

TEST(FpcCorpus, EverySourceParsesToAFinalState) {
    const std::vector<std::string> packages = InstalledSourcePackages();
    if (packages.empty())
        GTEST_SKIP() << "no fpc-source package installed";
    const std::vector<std::string> all = PascalSources(packages);

    const TFpcTarget& target = InstalledFpcTarget();
    const SharedCompilerSymbols symbols =
        BuildScanSymbols(TCompiler::FreePascal, "", target, FpcSymbols(target));
    std::map<int, int> kinds;
    std::vector<std::string> directiveFailures;
    int refused = 0, parsed = 0, withUses = 0;
    std::string currentFailure;
    UnitErrorHook = [&](TUnit&, const std::exception& e) {
        if (!dynamic_cast<const EAbort*>(&e))
            currentFailure = MessageGroup(e.what());
    };
    const std::string saved = fs::GetCurrentDir();
    const auto started = std::chrono::steady_clock::now();
    {
        Watchdog watchdog(std::chrono::seconds(60));
        for (const std::string& path : all) {
            watchdog.Start(path);
            currentFailure.clear();
            std::unique_ptr<TUnit> unit;
            try {
                unit = std::make_unique<TUnit>(path);
            } catch (const std::exception& e) {
                ++refused; // the first token is malformed
                continue;
            }
            unit->SetSymbols(symbols);
            unit->Parse();
            fs::SetCurrentDir(saved);
            ++parsed;
            EXPECT_TRUE(unit->ParseState == 7 || unit->ParseState == 8)
                << path << " ended in state " << unit->ParseState;
            EXPECT_EQ(unit->CurrentScanner(), nullptr) << path;
            EXPECT_EQ(unit->FileName, path) << path;
            ++kinds[unit->Kind];
            if (IsDirectiveFailure(currentFailure))
                directiveFailures.push_back(path + ": " + currentFailure);
            if (unit->Uses.Count() > 0)
                ++withUses;
        }
    }
    UnitErrorHook = nullptr;
    fs::SetCurrentDir(saved);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::printf("FPC corpus: %zu sources, %d parsed, %d refused, %d with uses, %d units, %d "
                "programs, %.1f s\n",
                all.size(), parsed, refused, withUses, kinds[ukUnit], kinds[ukProgram], seconds);

    // The FPC tree holds thousands of sources, nearly all units, with programs among them.
    EXPECT_GT(all.size(), 1000u);
    EXPECT_GT(kinds[ukUnit], parsed / 2);
    EXPECT_GT(kinds[ukProgram], 0);
    EXPECT_GT(withUses, parsed / 2);
    // The conditional directives of nearly every source are read as the compiler reads them.
    EXPECT_LT(directiveFailures.size(), 20u) << testing::PrintToString(directiveFailures);
}

} // namespace
