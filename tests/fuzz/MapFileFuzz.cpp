// libFuzzer target: the map file reader. Whatever the bytes, the sizes come out sorted, each
// name once (letter case aside) as written after an "M=" of the input, no size negative.
#include "FuzzSupport.h"

#include "mapfile/MapFile.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using ut::fuzz::Check;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    ut::TUnitSizes sizes;
    int polls = 0;
    ut::ReadMapStream(in, sizes, [&] { ++polls; });
    Check(sizes.Count() == 0 || polls > 0, "sizes were read without a look for an abort");
    for (int i = 0; i < sizes.Count(); ++i) {
        Check(!sizes[i].empty(), "an empty module name");
        Check(sizes.Objects(i) >= 0, "a negative size");
        Check(bytes.find("M=" + sizes[i]) != std::string::npos ||
                  bytes.find("m=" + sizes[i]) != std::string::npos,
              "a module name that the input does not hold after M=");
        if (i > 0)
            Check(sizes.CompareStrings(sizes[i - 1], sizes[i]) < 0, "sizes out of order");
    }
    return 0;
}
