#pragma once
// A temporary directory tree for tests that need the file system; the current directory
// and the drive mapper are restored and the tree removed afterwards.
#include "NativePath.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace uttest {

class TempTreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ut-config-XXXXXX";
        const char* made = mkdtemp(tmpl);
        ASSERT_NE(made, nullptr);
        root = made;
        saved = ut::fs::GetCurrentDir();
    }
    void TearDown() override {
        ut::fs::SetDriveMapper(nullptr);
        ut::fs::SetCurrentDir(saved);
        std::filesystem::remove_all(root);
    }

    /// `rel` under the root, spelt as the program spells full paths.
    std::string Under(const std::string& rel) const { return NativePath(root + "/" + rel); }

    /// Writes `text` to `rel` under the root (directories created); returns the full path.
    std::string Write(const std::string& rel, const std::string& text = "unit x;") {
        const std::string path = Under(rel);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string Mkdir(const std::string& rel) {
        std::filesystem::create_directories(Under(rel));
        return Under(rel);
    }

    /// `text` with the root directory written as "@".
    std::string Rooted(const std::string& text) const { return uttest::Rooted(text, root); }

    std::string root, saved;
};

} // namespace uttest
