// libFuzzer target: the reader of the dump tool's output. Every name it gives is trimmed and
// within one line, and there are no more names than lines that begin with "Imports from".
#include "FuzzSupport.h"

#include "imports/DumpRunner.h"
#include "support/Textutil.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using ut::fuzz::Check;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    const std::vector<std::string> names = ut::ReadDumpOutput(in);

    size_t importLines = 0;
    for (size_t start = 0; start <= bytes.size();) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        importLines += ut::SameTextN(std::string_view(bytes).substr(start), "Imports from", 12);
        start = end + 1;
    }
    Check(names.size() <= importLines, "more names than import lines");
    for (const std::string& name : names) {
        Check(!name.empty() && name == ut::Trim(name), "a name that is empty or not trimmed");
        Check(name.find_first_of("\r\n") == std::string::npos, "a name that spans lines");
    }
    return 0;
}
