#include "cli/CliOptions.h"

#include <cstdlib>

namespace ut::cli {

std::string UsageText() {
    return "usage: unitrace-cli [options] PROJECT\n"
           "\n"
           "Scans a Delphi project (.dpr, .dpk or .pas) and every unit it reaches.\n"
           "Defaults come from the project's options file and the compiler settings.\n"
           "\n"
           "  --search-path PATHS   search path (';'-separated), instead of the options file's\n"
           "  --defines LIST        conditional symbols (';'-separated)\n"
           "  --delphi VERSION      compiler version text, e.g. 5.0\n"
           "  --lib-path PATHS      library path, instead of the compiler settings'\n"
           "  --browse-path PATHS   browsing path, instead of the compiler settings'\n"
           "  --use-browse-path     search the browsing path too\n"
           "  --ignore LIST         units not to follow (';' or ','-separated)\n"
           "  --registry FILE       read compiler settings from this .reg file (repeatable)\n"
           "  --format text|json    output: the log (default) or a JSON document\n"
           "  --tree uses|usedby    print the dependency tree after the log\n"
           "  --depth N             depth of the printed tree (default 3)\n"
           "  -h, --help            this text\n";
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult r;
    CliOptions& o = r.Options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) -> bool {
            if (i + 1 >= args.size()) {
                r.Error = "option " + a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            o.Help = true;
        } else if (a == "--use-browse-path") {
            o.UseBrowsePath = true;
        } else if (a == "--search-path" || a == "--defines" || a == "--delphi" ||
                   a == "--lib-path" || a == "--browse-path" || a == "--ignore" ||
                   a == "--registry" || a == "--format" || a == "--tree" || a == "--depth") {
            if (!value(v))
                return r;
            if (a == "--search-path")
                o.SearchPath = v;
            else if (a == "--defines")
                o.Defines = v;
            else if (a == "--delphi")
                o.Delphi = v;
            else if (a == "--lib-path")
                o.LibPath = v;
            else if (a == "--browse-path")
                o.BrowsePath = v;
            else if (a == "--ignore")
                o.Ignore = v;
            else if (a == "--registry")
                o.RegistryFiles.push_back(v);
            else if (a == "--format") {
                if (v == "json")
                    o.Format = OutputFormat::Json;
                else if (v == "text")
                    o.Format = OutputFormat::Text;
                else {
                    r.Error = "unknown format: " + v + " (text or json)";
                    return r;
                }
            } else if (a == "--tree") {
                if (v == "uses")
                    o.Tree = 1;
                else if (v == "usedby" || v == "used-by")
                    o.Tree = 2;
                else {
                    r.Error = "unknown tree: " + v + " (uses or usedby)";
                    return r;
                }
            } else {
                char* end = nullptr;
                const long n = std::strtol(v.c_str(), &end, 10);
                if (v.empty() || *end != '\0' || n < 0 || n > 1000) {
                    r.Error = "invalid depth: " + v;
                    return r;
                }
                o.Depth = static_cast<int>(n);
            }
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            r.Error = "unknown option: " + a;
            return r;
        } else if (o.Project.empty()) {
            o.Project = a;
        } else {
            r.Error = "more than one project given: " + a;
            return r;
        }
    }
    if (o.Project.empty() && !o.Help)
        r.Error = "no project file given";
    return r;
}

} // namespace ut::cli
