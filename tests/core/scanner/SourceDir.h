#pragma once
// A temporary directory of Pascal sources for tests that need the file system; the current
// directory is restored and the files removed afterwards.
#include "platform/FileSystem.h"
#include "scanner/Unit.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace uttest {

/// The significant tokens of a unit's file, joined by blanks, or the failure's message.
inline std::string Significant(ut::TUnit& u) {
    std::string out;
    try {
        for (int t = u.FilterDirectives(u.CurrentScanner()->Token()); t != ut::toEOF;
             t = u.NextSignificant()) {
            if (!out.empty())
                out += ' ';
            out += u.CurrentScanner()->TokenString();
        }
    } catch (const ut::EParserError& e) {
        return e.what();
    }
    return out;
}

class SourceDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ut-scanner-XXXXXX";
        const char* made = mkdtemp(tmpl);
        ASSERT_NE(made, nullptr);
        root = made;
        saved = ut::fs::GetCurrentDir();
        ut::UnitErrorHook = [this](ut::TUnit&, const std::exception& e) {
            if (dynamic_cast<const ut::EAbort*>(&e))
                ++aborts;
            else
                failures.push_back(e.what());
        };
    }
    void TearDown() override {
        ut::UnitErrorHook = nullptr;
        ut::fs::SetCurrentDir(saved);
        std::filesystem::remove_all(root);
    }

    /// Writes `text` to `rel` under the root (directories created) and returns the full path.
    std::string Write(const std::string& rel, const std::string& text) {
        const std::string path = root + "/" + rel;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string root, saved;
    std::vector<std::string> failures; ///< messages the hook received, silent aborts aside
    int aborts = 0;                    ///< silent aborts the hook received
};

} // namespace uttest
