#pragma once
// A core test of the uses hygiene: the hygiene project written to a fresh temporary
// directory; afterwards the current directory restored (a scan changes it) and the
// directory removed.
#include "HygieneProject.h"
#include "NativePath.h"

#include "platform/FileSystem.h"
#include "scan/ScanFrontEnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace uttest {

struct QuietFrontEnd : ut::ScanFrontEnd {
    void AppendLog(const ut::LogLine&) override {}
};

class HygieneFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ut-hygiene-XXXXXX";
        root = NativePath(mkdtemp(tmpl));
        saved = ut::fs::GetCurrentDir();
        WriteHygieneProject(root);
    }
    void TearDown() override {
        ut::fs::SetCurrentDir(saved);
        std::filesystem::remove_all(root);
    }
    std::string root, saved;
};

} // namespace uttest
