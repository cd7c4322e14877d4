// tdump -e FILE: prints "Imports from NAME" for every library that the PE or ELF file
// FILE imports, in the file's order.
#include "imports/ImportReader.h"

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "-e") != 0) {
        std::fprintf(stderr, "usage: tdump -e FILE\n");
        return 2;
    }
    try {
        for (const std::string& name : ut::ReadImports(argv[2]))
            std::printf("Imports from %s\n", name.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tdump: %s: %s\n", argv[2], e.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
