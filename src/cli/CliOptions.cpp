#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <map>

namespace ut::cli {

namespace {

// The parser is built for each use: it binds to the options it fills.
void Describe(CLI::App& app, CliOptions& o, std::string& format, std::string& tree) {
    app.description("Scans a Delphi project (.dpr, .dpk or .pas) or a Lazarus project (.lpr,\n"
                    ".lpi or .lpk) and every unit it reaches. Defaults come from the project's\n"
                    "options file (.DOF, .lpi, .lpk) and the compiler settings in the registry\n"
                    "store (.reg files, UNITRACE_REGISTRY, Wine).");
    app.add_option("PROJECT", o.Project, "the project source")->required();
    app.add_option("--search-path", o.SearchPath, "search path (';'-separated)");
    app.add_option("--defines", o.Defines, "conditional symbols (';'-separated)");
    app.add_option("--delphi", o.Delphi, "compiler version text, e.g. 5.0");
    app.add_option("--compiler", o.Compiler,
                   "delphi or fpc (Free Pascal; the default for Lazarus projects)")
        ->check(CLI::IsMember({"delphi", "fpc"}));
    app.add_option("--build-mode", o.BuildMode, "build mode of a Lazarus project (.lpi)");
    app.add_option("--lib-path", o.LibPath, "library path (';'-separated)");
    app.add_option("--browse-path", o.BrowsePath, "browsing path (';'-separated)");
    app.add_flag("--use-browse-path", o.UseBrowsePath, "search the browsing path too");
    app.add_option("--ignore", o.Ignore, "units not to follow (';' or ',' separated)");
    app.add_option("--registry", o.RegistryFiles, "read compiler settings from this .reg file")
        ->allow_extra_args(false);
    app.add_option("--format", format, "text (the log), json (the whole result) or tree")
        ->check(CLI::IsMember({"text", "json", "tree"}));
    app.add_option("--tree", tree, "direction of the printed tree: uses or usedby")
        ->check(CLI::IsMember({"uses", "usedby"}));
    app.add_option("--depth", o.Depth, "depth of the printed tree (default 3)")
        ->check(CLI::Range(0, 1000));
    app.footer("Exit status: 0 scan completed, 1 scan aborted (Ctrl+C) or failed,\n"
               "2 bad usage or missing project.");
}

} // namespace

std::string UsageText() {
    CLI::App app("", "unitrace-cli");
    CliOptions o;
    std::string format, tree;
    Describe(app, o, format, tree);
    return app.help();
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult r;
    CLI::App app("", "unitrace-cli");
    std::string format = "text", tree;
    Describe(app, r.Options, format, tree);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        r.Options.Help = true;
        return r;
    } catch (const CLI::ParseError& e) {
        r.Error = e.what();
        return r;
    }
    static const std::map<std::string, OutputFormat> formats = {
        {"text", OutputFormat::Text}, {"json", OutputFormat::Json}, {"tree", OutputFormat::Tree}};
    r.Options.Format = formats.at(format);
    if (tree == "uses")
        r.Options.Tree = 1;
    else if (tree == "usedby")
        r.Options.Tree = 2;
    else if (r.Options.Format == OutputFormat::Tree)
        r.Options.Tree = 1;
    return r;
}

} // namespace ut::cli
