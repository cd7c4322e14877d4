// Reading sources ahead of the walk on several threads changes nothing that a scan
// reports: the JSON documents of serial and parallel scans are the same, byte for byte.
#include "CliCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <stdlib.h>

namespace {

namespace stdfs = std::filesystem;

TEST(ParallelScanTest, ParallelAndSerialScansGiveTheSameDocument) {
    const std::string examples = UNITRACE_EXAMPLES;
    // The benchmark's generated project: include files, conditional uses, `in` clauses,
    // missing and misspelt names, cycles. A test run that cannot start its generator from
    // here (Windows) makes it beforehand and names it in UNITRACE_TEST_CORPUS.
    const char* made = std::getenv("UNITRACE_TEST_CORPUS");
    std::string corpus = made ? made : "";
    if (!made) {
        char tmpl[] = "/tmp/ut-parallel-XXXXXX";
        corpus = std::string(mkdtemp(tmpl)) + "/corpus";
        const std::string generate = "python3 '" + examples + "/../bench/gen_corpus.py' --out '" +
                                     corpus + "' --units 400 --seed 7 > /dev/null";
        ASSERT_EQ(std::system(generate.c_str()), 0) << generate;
    }

    const std::vector<std::vector<std::string>> projects = {
        {corpus + "/Bench.dpr", "--delphi", "5.0"},
        {examples + "/demo/Demo.dpr"},
        {examples + "/dproj/Inventory.dproj"},
    };
    const stdfs::path saved = stdfs::current_path();
    for (const std::vector<std::string>& project : projects) {
        SCOPED_TRACE(project[0]);
        std::string documents[2];
        const char* const jobs[2] = {"1", "4"};
        for (int i = 0; i < 2; ++i) {
            std::vector<std::string> args = {"--format", "json", "--jobs", jobs[i]};
            args.insert(args.end(), project.begin(), project.end());
            int status = -1;
            documents[i] = uttest::RunCapture(args, status);
            stdfs::current_path(saved);
            EXPECT_EQ(status, 0);
        }
        EXPECT_NE(documents[0].find("{\"depth\":0,\"text\":\"Done\",\"style\":\"bold\"}"),
                  std::string::npos);
        EXPECT_TRUE(documents[0] == documents[1]) << "the documents differ";
    }
    if (!made)
        stdfs::remove_all(stdfs::path(corpus).parent_path());
}

} // namespace
