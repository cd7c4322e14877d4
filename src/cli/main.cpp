// unitrace-cli: the scan of the "Start" button, for scripts and CI.
#include "cli/CliApp.h"
#include "platform/Arguments.h"

int main(int argc, char** argv) {
    return ut::cli::RunCli(ut::platform::ProgramArguments(argc, argv));
}
