#pragma once
// Helpers of the import tests: a scratch directory that is removed afterwards, and files.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace ut::test {

inline std::string FixtureDir() {
    return std::string(UNITRACE_FIXTURES) + "/imports";
}

/// A new, empty directory below the system's temporary directory, removed with its
/// contents at the end of the test.
class TScratchDir {
  public:
    TScratchDir() {
        std::string t = (std::filesystem::temp_directory_path() / "ut-imports-XXXXXX").string();
        FPath = ::mkdtemp(t.data());
    }
    ~TScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    std::string Path() const { return FPath.string(); }
    std::string operator/(const std::string& name) const { return (FPath / name).string(); }

  private:
    std::filesystem::path FPath;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline void WriteScript(const std::string& path, const std::string& body) {
    WriteFile(path, "#!/bin/sh\n" + body);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

} // namespace ut::test
