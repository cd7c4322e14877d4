// libFuzzer target: the Lazarus project and package reader must return or throw
// EParserError for any bytes, never crash, hang or leak. The first byte chooses a project
// or a package and whether a build mode is asked for; the rest is the file.
#include "config/LazarusProject.h"
#include "support/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool package = data[0] & 1;
    const std::string mode = data[0] & 2 ? "Release" : "";
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        const ut::TLazarusFile f = ut::ParseLazarusFile(text, "fuzz.lpi", package, mode, {});
        for (const std::string& d : f.Defines)
            if (d.empty()) {
                std::fprintf(stderr, "invariant broken: empty define\n");
                std::abort();
            }
        if (!package && !f.Units.empty()) {
            std::fprintf(stderr, "invariant broken: a project with package units\n");
            std::abort();
        }
    } catch (const ut::EParserError&) {
    }
    return 0;
}
