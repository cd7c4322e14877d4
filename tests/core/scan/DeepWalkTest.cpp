// A uses chain as long as a project has units: the walk, its log and the graph work on it
// must not use the call stack per level (AddressSanitizer reports an overflow).
#include "analysis/DependencyAnalysis.h"
#include "platform/FileSystem.h"
#include "scan/ProjectScan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <stdlib.h>

namespace {

namespace stdfs = std::filesystem;
using namespace ut;

class RecordingFrontEnd : public ScanFrontEnd {
  public:
    void AppendLog(const LogLine& line) override { Lines.push_back(line); }
    void ClearLog() override { Lines.clear(); }
    std::vector<LogLine> Lines;
};

class DeepWalkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ut-deep-XXXXXX";
        Root = mkdtemp(tmpl);
        Saved = fs::GetCurrentDir();
    }
    void TearDown() override {
        fs::SetCurrentDir(Saved);
        stdfs::remove_all(Root);
    }
    /// P uses U1, U1 uses U2, ... U`units` uses nothing; the interface entry of each unit
    /// is also used by its implementation, a second meeting that must write nothing.
    void WriteChain(int units) {
        std::ofstream(Root + "/P.dpr") << "program P;\nuses U1;\nbegin end.\n";
        for (int i = 1; i <= units; ++i) {
            std::ofstream out(Root + "/U" + std::to_string(i) + ".pas");
            out << "unit U" << i << ";\ninterface\n";
            if (i < units)
                out << "uses U" << i + 1 << ";\nimplementation\nuses U" << i + 1 << ";\n";
            else
                out << "implementation\n";
            out << "end.\n";
        }
    }

    std::string Root, Saved;
};

TEST_F(DeepWalkTest, AHundredThousandUnitChainScansToDoneWithOneLevelPerUnit) {
    const int units = 100000;
    WriteChain(units);
    RecordingFrontEnd fe;
    ProjectScan scan(fe);
    scan.Inputs.Project = Root + "/P.dpr";
    ASSERT_TRUE(scan.ScanProject(scan.Inputs.Project));

    ASSERT_EQ(fe.Lines.size(), static_cast<size_t>(units) + 3);
    EXPECT_EQ(fe.Lines[1], (LogLine{0, "P: parsed...", lsPlain}));
    int misplaced = 0;
    for (int i = 1; i <= units; ++i)
        if (fe.Lines[static_cast<size_t>(i) + 1] !=
            LogLine{i, "U" + std::to_string(i) + ": parsed...", lsPlain})
            ++misplaced;
    EXPECT_EQ(misplaced, 0);
    EXPECT_EQ(fe.Lines.back(), (LogLine{0, "Done", lsBold}));
    EXPECT_EQ(IndentedText(fe.Lines[3]), "    U2: parsed...");

    // The graph work on the same chain: no cycle, and the one path to the last unit.
    const DependencyAnalysis analysis(scan);
    EXPECT_TRUE(analysis.Cycles().Cycles.empty());
    const WhyPaths why = analysis.Why(scan.FindUnit("U" + std::to_string(units)));
    ASSERT_EQ(why.Paths.size(), 1u);
    EXPECT_EQ(why.Paths[0].size(), static_cast<size_t>(units));
}

} // namespace
