#pragma once
// Runs the command-line front end in-process and captures what it prints.
#include "cli/CliApp.h"

#include <cstdio>
#include <string>
#include <vector>

namespace uttest {

// Runs the front end in-process and returns what it printed to standard output.
inline std::string RunCapture(const std::vector<std::string>& args, int& status,
                              std::string* errors = nullptr) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    status = ut::cli::RunCli(args, out, err);
    auto slurp = [](std::FILE* f) {
        std::string s;
        std::rewind(f);
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            s.append(buf, n);
        std::fclose(f);
        return s;
    };
    std::string text = slurp(out);
    std::string e = slurp(err);
    if (errors)
        *errors = e;
    return text;
}

} // namespace uttest
