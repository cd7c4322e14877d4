#pragma once
// A temporary directory of Pascal sources for tests that need the file system; the current
// directory is restored and the files removed afterwards.
#include "NativePath.h"
#include "platform/FileSystem.h"
#include "scanner/Unit.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace uttest {

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
                failures.push_back(Rooted(e.what()));
        };
    }
    void TearDown() override {
        ut::UnitErrorHook = nullptr;
        ut::fs::SetCurrentDir(saved);
        std::filesystem::remove_all(root);
    }

    /// `rel` under the root, spelt as the program spells full paths.
    std::string Under(const std::string& rel) const { return NativePath(root + "/" + rel); }

    /// Writes `text` to `rel` under the root (directories created) and returns the full path.
    std::string Write(const std::string& rel, const std::string& text) {
        const std::string path = Under(rel);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    /// `text` with the root directory written as "@".
    std::string Rooted(const std::string& text) const { return uttest::Rooted(text, root); }

    /// The significant tokens of `source` as main.pas, read with `defines` and Delphi 7's
    /// CompilerVersion in `mode`, joined by blanks; or the failure's message.
    std::string Filter(const std::string& source, const std::vector<std::string>& defines = {},
                       ut::TSyntaxMode mode = ut::TSyntaxMode::None) {
        auto symbols = std::make_shared<ut::TCompilerSymbols>();
        symbols->Mode = mode;
        for (const std::string& d : defines)
            symbols->Define(d);
        symbols->SetConstant("CompilerVersion", 15.0);
        ut::TUnit u(Write("main.pas", source));
        u.SetSymbols(symbols);
        std::string out;
        try {
            for (int t = u.FilterDirectives(u.CurrentScanner()->Token()); t != ut::toEOF;
                 t = u.NextSignificant())
                out += (out.empty() ? "" : " ") + u.CurrentScanner()->TokenString();
        } catch (const ut::EParserError& e) {
            return Rooted(e.what());
        }
        return out;
    }

    std::string root, saved;
    std::vector<std::string> failures; ///< messages the hook received, silent aborts aside
    int aborts = 0;                    ///< silent aborts the hook received
};

} // namespace uttest
