#include "platform/Arguments.h"

#include <cstdlib>

namespace ut::platform {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    if (argc < 1)
        return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::string EnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void WriteBytesAsTheyAre(std::FILE*) {}

} // namespace ut::platform
