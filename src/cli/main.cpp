// unitrace-cli: the scan of the "Start" button, for scripts and CI.
#include "cli/CliApp.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return ut::cli::RunCli(args);
}
