// libFuzzer target: the reader of the dynamic loader's configuration. The bytes before the
// first NUL are ld.so.conf, those after it a.conf beside it, so "include a.conf" and
// "include *.conf" read fuzzed text too (and the file itself again, which must not loop).
// Every directory it lists is trimmed, without a comment, within one line.
#include "FuzzSupport.h"

#include "imports/LdSoConf.h"
#include "support/Textutil.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using ut::fuzz::Check;
    const auto [main, included] =
        ut::fuzz::SplitAtNul(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string conf = ut::fuzz::WriteTempFile("ld.so.conf", main);
    ut::fuzz::WriteTempFile("a.conf", included);
    for (const std::string& dir : ut::ReadLdSoConf(conf)) {
        Check(!dir.empty() && dir == ut::Trim(dir), "a directory that is empty or not trimmed");
        Check(dir.find_first_of("#\n") == std::string::npos,
              "a comment or line end in a directory");
    }
    return 0;
}
