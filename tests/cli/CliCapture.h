#pragma once
// Runs the command-line front end in-process and captures what it prints; a temporary
// project directory for the runs.
#include "NativePath.h"
#include "cli/CliApp.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace uttest {

// What was written to a temporary file, which is closed.
inline std::string Slurp(std::FILE* f) {
    std::string s;
    std::rewind(f);
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    std::fclose(f);
    return s;
}

// Runs the front end in-process and returns what it printed to standard output.
inline std::string RunCapture(const std::vector<std::string>& args, int& status,
                              std::string* errors = nullptr) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    status = ut::cli::RunCli(args, out, err);
    std::string text = Slurp(out);
    std::string e = Slurp(err);
    if (errors)
        *errors = e;
    return text;
}

// `doc` with `change` applied to each of its strings.
inline nlohmann::json EachString(nlohmann::json doc,
                                 const std::function<std::string(const std::string&)>& change) {
    const nlohmann::json flat = doc.flatten();
    for (const auto& [pointer, value] : flat.items())
        if (value.is_string())
            doc[nlohmann::json::json_pointer(pointer)] = change(value.get<std::string>());
    return doc;
}

// A fresh directory `root` with no Wine prefix and no registry export in reach; the
// current directory is restored afterwards.
class ProjectDir : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ut-cli-XXXXXX";
        root = mkdtemp(tmpl);
        saved = ut::fs::GetCurrentDir();
        setenv("WINEPREFIX", (root + "/noprefix").c_str(), 1);
        unsetenv("UNITRACE_REGISTRY");
    }
    void TearDown() override {
        ut::fs::SetCurrentDir(saved);
        std::filesystem::remove_all(root);
    }
    /// `rel` under the root, spelt as the program spells full paths.
    std::string Under(const std::string& rel) const { return NativePath(root + "/" + rel); }
    /// `text` with the root directory written as "@".
    std::string Rooted(const std::string& text) const { return uttest::Rooted(text, root); }
    void Write(const std::string& rel, const std::string& text) {
        const std::filesystem::path p = std::filesystem::path(root) / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
    std::string root, saved;
};

} // namespace uttest
