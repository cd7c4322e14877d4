// tdump -e FILE: prints "Imports from NAME" for every library that the PE or ELF file
// FILE imports, in the file's order.
#include "imports/ImportReader.h"
#include "platform/Arguments.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args = ut::platform::ProgramArguments(argc, argv);
    if (args.size() != 2 || args[0] != "-e") {
        std::fprintf(stderr, "usage: tdump -e FILE\n");
        return 2;
    }
    try {
        for (const std::string& name : ut::ReadImports(args[1]))
            std::printf("Imports from %s\n", name.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tdump: %s: %s\n", args[1].c_str(), e.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
