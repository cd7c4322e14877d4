#include "cli/CliOptions.h"

#include "rules/Audit.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace ut::cli {

namespace {

std::vector<std::string> FailOnNames() {
    std::vector<std::string> names = {"interface-cycles", "cycles",  "not-found",     "exc",
                                      "unused",           "movable", "stale-baseline"};
    names.insert(names.end(), std::begin(rules::AuditNames), std::end(rules::AuditNames));
    return names;
}

// The parser is built for each use: it binds to the options it fills.
void Describe(CLI::App& app, CliOptions& o, std::string& format, std::string& tree,
              std::pair<std::string, std::string>& top) {
#ifdef _WIN32
    const char* registrySources = "(the system registry, .reg files, UNITRACE_REGISTRY).";
#else
    const char* registrySources = "(.reg files, UNITRACE_REGISTRY, Wine).";
#endif
    app.description(std::string("Scans a Delphi project (.dproj, .dpr, .dpk or .pas) or a Lazarus "
                                "project\n(.lpr, .lpi or .lpk) and every unit it reaches. Defaults "
                                "come from the\nproject's options file (.dproj, .DOF, .lpi, .lpk) "
                                "and the compiler\nsettings in the registry store ") +
                    registrySources);
    // A path such as /tmp/P.dpr is a path on Windows too, never an option.
    app.allow_windows_style_options(false);
    app.add_option("PROJECT", o.Project, "the project source")->required();
    app.add_option("--search-path", o.SearchPath, "search path (';'-separated)");
    app.add_option("--defines", o.Defines, "conditional symbols (';'-separated)");
    app.add_option("--delphi", o.Delphi,
                   "compiler version: 5.0, 7, 2007, XE7, 12, an update (12.3, 10.4.2),\n"
                   "or a BDS number");
    app.add_option("--compiler", o.Compiler,
                   "delphi or fpc (Free Pascal; the default for Lazarus projects)")
        ->check(CLI::IsMember({"delphi", "fpc"}));
    app.add_option("--build-mode", o.BuildMode, "build mode of a Lazarus project (.lpi)");
    app.add_option("--mode", o.Mode,
                   "Free Pascal's syntax mode (as -M): fpc, objfpc, delphi, delphiunicode,\n"
                   "tp, macpas, iso, extendedpascal (default: the project's, else fpc)")
        ->transform(CLI::IsMember({"default", "fpc", "objfpc", "delphi", "delphiunicode", "tp",
                                   "macpas", "iso", "extendedpascal"},
                                  CLI::ignore_case));
    app.add_option("--package-path", o.PackagePath,
                   "directories searched, with those below them, for the NAME.lpk of a\n"
                   "required Lazarus package (';'-separated)");
    app.add_option("--include-path", o.IncludePath,
                   "include directories, searched after the including file's (';'-separated;\n"
                   "default: the options file's)");
    app.add_option("--config", o.Config, "the .dproj's build configuration (default: its own)");
    app.add_option("--platform", o.Platform,
                   "target platform: Win32, Win64, Linux64, ... (default: the .dproj's own)");
    app.add_option("--unit-scopes", o.UnitScopes, "unit scope names (';'-separated)");
    app.add_option("--lib-path", o.LibPath, "library path (';'-separated)");
    app.add_option("--browse-path", o.BrowsePath, "browsing path (';'-separated)");
    app.add_flag("--use-browse-path", o.UseBrowsePath, "search the browsing path too");
    app.add_option("--ignore", o.Ignore, "units not to follow (';' or ',' separated)");
    app.add_option("--registry", o.RegistryFiles, "read compiler settings from this .reg file")
        ->allow_extra_args(false);
    app.add_option("--format", format,
                   "text (the log), json (the whole result), tree, dot (the uses graph),\n"
                   "html (a report in one file), sarif (the rules' violations), or patch\n"
                   "(the uses hygiene's edits as a unified diff)")
        ->check(CLI::IsMember({"text", "json", "tree", "dot", "html", "sarif", "patch"}));
    app.add_flag("--hygiene", o.Hygiene,
                 "a verdict on every uses entry of the project's units: remove, move,\n"
                 "keep or unknown, with its evidence");
    app.add_flag("--hygiene-all", o.HygieneAll, "--hygiene for every parsed unit");
    app.add_option("--tree", tree, "direction of the printed tree: uses or usedby")
        ->check(CLI::IsMember({"uses", "usedby"}));
    app.add_option("--depth", o.Depth,
                   "depth of the printed tree (default 3), or of the dot graph from the\n"
                   "project or the focus (default: no limit)")
        ->check(CLI::Range(0, 1000));
    app.add_option("--why", o.Why, "print every shortest path from the project to UNIT")
        ->type_name("UNIT");
    app.add_option("--focus", o.Focus, "dot: only the paths from the project through UNIT")
        ->type_name("UNIT");
    app.add_flag("--cycles-only", o.CyclesOnly, "dot: only the units of cycles");
    app.add_option("--group-by", o.GroupBy,
                   "dot: one node per folder, unit scope prefix or package, its edges\n"
                   "labelled with the number of uses entries")
        ->check(CLI::IsMember({"folder", "scope", "package"}));
    app.add_flag("--cuts", o.Cuts, "print each cycle's uses entries to cut or move");
    app.add_option("--top", top, "print the N units whose interface changes recompile the most")
        ->type_name("recompile N");
    app.add_option("--fail-on", o.FailOn,
                   "exit with 3 after a completed scan when any holds:\n"
                   "interface-cycles, cycles, not-found, exc, unused, movable,\n"
                   "stale-baseline, or an --audit finding (','-separated)")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->check(CLI::IsMember(FailOnNames()));
    CLI::Option* rules = app.add_option("--rules", o.Rules,
                                        "check the rules of this TOML file (exit 3 on a new error)")
                             ->type_name("FILE");
    CLI::Option* baseline =
        app.add_option("--baseline", o.Baseline, "violations known already: only others fail")
            ->type_name("FILE")
            ->needs(rules);
    app.add_flag("--update-baseline", o.UpdateBaseline, "write the violations found to --baseline")
        ->needs(baseline);
    app.add_flag("--audit", o.Audit, "audit the search order and the packages");
    app.add_option("--jobs", o.Jobs,
                   "threads reading sources ahead of the scan (default: one per core;\n"
                   "1 reads them one after another as the scan meets them)")
        ->check(CLI::Range(1, 256))
        ->type_name("N");
    app.set_version_flag("--version", VersionText(), "print the program's version");
    app.footer("Exit status: 0 scan completed, 1 scan aborted (Ctrl+C) or failed,\n"
               "2 bad usage, missing project, an unknown --why/--focus unit or a rules\n"
               "file or baseline that cannot be used, 3 a --fail-on condition holds or\n"
               "an error rule has a new violation (one line per offender on standard error).\n"
               "unitrace-cli diff OLD.json NEW.json compares two results (diff --help).");
}

} // namespace

std::string VersionText() {
    return std::string("unitrace-cli ") + UNITRACE_VERSION;
}

std::string UsageText() {
    CLI::App app("", "unitrace-cli");
    CliOptions o;
    std::string format, tree;
    std::pair<std::string, std::string> top;
    Describe(app, o, format, tree, top);
    return app.help();
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult r;
    CLI::App app("", "unitrace-cli");
    std::string format = "text", tree;
    std::pair<std::string, std::string> top;
    Describe(app, r.Options, format, tree, top);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        r.Options.Help = true;
        return r;
    } catch (const CLI::CallForVersion&) {
        r.Options.Version = true;
        return r;
    } catch (const CLI::ParseError& e) {
        r.Error = e.what();
        return r;
    }
    static const std::map<std::string, OutputFormat> formats = {
        {"text", OutputFormat::Text},  {"json", OutputFormat::Json}, {"tree", OutputFormat::Tree},
        {"dot", OutputFormat::Dot},    {"html", OutputFormat::Html}, {"sarif", OutputFormat::Sarif},
        {"patch", OutputFormat::Patch}};
    if (app.get_option("--top")->count() > 0) {
        char* end = nullptr;
        const long n = std::strtol(top.second.c_str(), &end, 10);
        if (top.first != "recompile" || *end || end == top.second.c_str() || n < 1 || n > 1000000) {
            r.Error = "--top: expected recompile N (N from 1), got " + top.first + " " + top.second;
            return r;
        }
        r.Options.TopRecompile = static_cast<int>(n);
    }
    r.Options.Format = formats.at(format);
    if (r.Options.Format == OutputFormat::Sarif && !r.Options.Rules)
        r.Error = "--format sarif writes the violations of --rules";
    const auto& failOn = r.Options.FailOn;
    if (!r.Options.Baseline &&
        std::find(failOn.begin(), failOn.end(), "stale-baseline") != failOn.end())
        r.Error = "--fail-on stale-baseline needs --baseline";
    if (!r.Error.empty())
        return r;
    r.Options.DepthGiven = app.get_option("--depth")->count() > 0;
    if (r.Options.GroupBy && r.Options.Format != OutputFormat::Dot) {
        r.Error = "--group-by needs --format dot";
        return r;
    }
    const auto& gates = r.Options.FailOn;
    r.Options.Hygiene = r.Options.Hygiene || r.Options.HygieneAll ||
                        r.Options.Format == OutputFormat::Patch ||
                        std::find(gates.begin(), gates.end(), "unused") != gates.end() ||
                        std::find(gates.begin(), gates.end(), "movable") != gates.end();
    if (tree == "uses")
        r.Options.Tree = 1;
    else if (tree == "usedby")
        r.Options.Tree = 2;
    else if (r.Options.Format == OutputFormat::Tree)
        r.Options.Tree = 1;
    return r;
}

} // namespace ut::cli
