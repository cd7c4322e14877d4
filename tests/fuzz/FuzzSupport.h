#pragma once
// What the fuzz harnesses share: a check that aborts (so libFuzzer keeps the input), and a
// temporary directory of the process for harnesses whose reader takes file names.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>

#include <unistd.h>

namespace ut::fuzz {

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline void Check(bool holds, const char* what) {
    if (!holds)
        Fail(what);
}

/// A directory of this process, removed at exit.
inline const std::string& TempDir() {
    struct Dir {
        std::string path;
        Dir() {
            char tmpl[] = "/tmp/ut-fuzz-XXXXXX";
            if (!mkdtemp(tmpl))
                Fail("cannot create the temporary directory");
            path = tmpl;
        }
        ~Dir() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    };
    static const Dir dir;
    return dir.path;
}

/// Writes `bytes` to `name` in the temporary directory and returns its full path.
inline std::string WriteTempFile(const std::string& name, std::string_view bytes) {
    const std::string path = TempDir() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

/// The bytes before the first NUL and those after it (empty when there is none): two files
/// from one input.
inline std::pair<std::string_view, std::string_view> SplitAtNul(std::string_view bytes) {
    const size_t nul = bytes.find('\0');
    if (nul == std::string_view::npos)
        return {bytes, {}};
    return {bytes.substr(0, nul), bytes.substr(nul + 1)};
}

} // namespace ut::fuzz
