#pragma once
// Runs the command-line front end in-process and captures what it prints.
#include "cli/CliApp.h"

#include <cstdio>
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

} // namespace uttest
