// libFuzzer target: the import reader must return or throw EParserError for any bytes,
// never read out of bounds, crash or hang.
#include "imports/ImportReader.h"
#include "support/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        ut::ReadImportsFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const ut::EParserError&) {
    }
    return 0;
}
