// The Free Pascal sources as a corpus: every .pas/.pp file of the installed fpc-source packages
// is parsed with Free Pascal's symbols. Real code must never crash or hang the scanner, and
// every parse must end in a final state; the outcome is printed, apart from counts any sound
// reading of the tree gives. Under the sanitizers the ~4900 files take under a minute.
#include "platform/FileSystem.h"
#include "scan/ScanSymbols.h"
#include "scanner/Unit.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace ut;

/// The .pas and .pp files of the installed fpc-source packages, in name order.
std::vector<std::string> PascalSources() {
    namespace stdfs = std::filesystem;
    std::vector<std::string> files;
    std::error_code ec;
    for (stdfs::recursive_directory_iterator it("/usr/share/fpcsrc", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string ext = it->path().extension().string();
        if (it->is_regular_file() && (SameText(ext, ".pas") || SameText(ext, ".pp")))
            files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

/// The include path a build of the tree gives `file`, near enough: its directory's
/// ancestors within the tree and their `inc` subdirectories.
std::shared_ptr<const std::vector<std::string>> IncludePathOf(const std::string& file) {
    namespace stdfs = std::filesystem;
    auto dirs = std::make_shared<std::vector<std::string>>();
    for (stdfs::path dir = stdfs::path(file).parent_path();
         dir.string().size() > std::string("/usr/share/fpcsrc/").size(); dir = dir.parent_path()) {
        dirs->push_back(dir.string());
        if (std::error_code ec; stdfs::is_directory(dir / "inc", ec))
            dirs->push_back((dir / "inc").string());
    }
    return dirs;
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
bool IsDirectiveFailure(const std::string& message) {
    static const std::regex directive(
        R"re(^Error: "(Unknown \$\w+ directive|Unclosed ifdef!|Invalid \$\w+ expression.*|\$\w+ after \$else|Conditional directives nested.*)" on line .*$)re");
    return std::regex_match(message, directive);
}

TEST(FpcCorpus, EverySourceParsesToAFinalState) {
#ifdef _WIN32
    GTEST_SKIP() << "the corpus is the Linux package's";
#endif
    const std::vector<std::string> all = PascalSources();
    if (all.empty())
        GTEST_SKIP() << "no fpc-source package installed";

    const TFpcTarget& target = InstalledFpcTarget();
    const SharedCompilerSymbols symbols =
        BuildScanSymbols(TCompiler::FreePascal, "", target, FpcSymbols(target), TSyntaxMode::Fpc);
    std::map<int, int> kinds;
    std::vector<std::string> directiveFailures, grammarFailures;
    int refused = 0, parsed = 0, withUses = 0;
    std::string currentFailure;
    UnitErrorHook = [&](TUnit&, const std::exception& e) {
        if (!dynamic_cast<const EAbort*>(&e))
            currentFailure = e.what();
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
            unit->SetIncludeDirs(IncludePathOf(path));
            unit->Parse();
            fs::SetCurrentDir(saved);
            ++parsed;
            EXPECT_TRUE(unit->ParseState == 7 || unit->ParseState == 8)
                << path << " ended in state " << unit->ParseState;
            EXPECT_EQ(unit->CurrentScanner(), nullptr) << path;
            EXPECT_EQ(unit->FileName, path) << path;
            ++kinds[unit->Kind];
            if (IsDirectiveFailure(currentFailure))
                directiveFailures.push_back(currentFailure);
            else if (!currentFailure.empty())
                grammarFailures.push_back(path + ": " + currentFailure);
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
    std::printf("FPC corpus failures: %zu (%zu directive, %zu grammar)\n",
                directiveFailures.size() + grammarFailures.size(), directiveFailures.size(),
                grammarFailures.size());
    if (const char* list = std::getenv("UNITRACE_CORPUS_FAILURES")) {
        if (FILE* out = std::fopen(list, "w")) {
            for (const auto* failures : {&directiveFailures, &grammarFailures})
                for (const std::string& f : *failures)
                    std::fprintf(out, "%s\n", f.c_str());
            std::fclose(out);
        }
    }

    // The FPC tree holds thousands of sources, nearly all units, with programs among them.
    EXPECT_GT(all.size(), 1000u);
    EXPECT_GT(kinds[ukUnit], parsed / 2);
    EXPECT_GT(kinds[ukProgram], 0);
    EXPECT_GT(withUses, parsed / 2);
    // The conditional directives of nearly every source are read as the compiler reads them.
    EXPECT_LT(directiveFailures.size(), 20u) << testing::PrintToString(directiveFailures);
    // With the tree's include directories, what stops the rest is the compiler's own
    // business: include files of other targets, {$ERROR}s of other targets, broken files.
    EXPECT_LT(grammarFailures.size(), 250u);
}

} // namespace
