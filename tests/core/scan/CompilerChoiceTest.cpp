#include "scan/ProjectScan.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace ut;

struct QuietFrontEnd : ScanFrontEnd {
    void AppendLog(const LogLine&) override {}
};

// A Lazarus project chooses Free Pascal; naming a Delphi project afterwards goes back to
// Delphi, unless Free Pascal had been chosen before the Lazarus project came.
TEST(CompilerChoice, FollowsTheProjectUnlessChosenBefore) {
    char tmpl[] = "/tmp/ut-choice-XXXXXX";
    const std::string root = mkdtemp(tmpl);
    const std::string saved = fs::GetCurrentDir();
    for (const char* f : {"demo.lpr", "P.dpr"})
        std::ofstream(root + "/" + f) << "program x;";
    QuietFrontEnd fe;
    ProjectScan scan(fe);
    auto name = [&](const char* project) {
        scan.Inputs.Project = root + "/" + project;
        scan.LoadProjectOptions();
        return scan.Inputs.Compiler;
    };
    EXPECT_EQ(name("demo.lpr"), TCompiler::FreePascal);
    EXPECT_EQ(name("P.dpr"), TCompiler::Delphi);
    scan.Inputs.Compiler = TCompiler::FreePascal;
    EXPECT_EQ(name("demo.lpr"), TCompiler::FreePascal);
    EXPECT_EQ(name("P.dpr"), TCompiler::FreePascal);
    fs::SetCurrentDir(saved);
    std::filesystem::remove_all(root);
}

} // namespace
