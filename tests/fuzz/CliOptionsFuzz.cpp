// libFuzzer target: the command line of unitrace-cli. The bytes are the arguments, separated
// by NUL. A command line is understood, or asks for help, or gives an error; an understood
// one names a project and holds only values the options allow.
#include "FuzzSupport.h"

#include "cli/CliOptions.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using ut::fuzz::Check;
    std::vector<std::string> args;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const size_t nul = rest.find('\0');
        args.emplace_back(rest.substr(0, nul));
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }
    const ut::cli::ParseResult r = ut::cli::ParseCommandLine(args);
    if (r.Options.Help || !r.Error.empty())
        return 0;
    const ut::cli::CliOptions& o = r.Options;
    Check(o.Tree >= 0 && o.Tree <= 2, "a tree direction out of range");
    Check(o.Depth >= 0 && o.Depth <= 1000, "a depth out of range");
    Check(o.Format != ut::cli::OutputFormat::Tree || o.Tree != 0, "the tree format without a tree");
    return 0;
}
