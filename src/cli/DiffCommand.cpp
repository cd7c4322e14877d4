#include "cli/DiffCommand.h"

#include "report/DiffReport.h"
#include "report/ResultReader.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace ut::cli {

using report::DiffJson;
using report::DiffText;
using report::EResultError;
using report::ReadResultGraph;
using report::ReportDiffGates;

int RunDiff(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    CLI::App app("Compares two results of unitrace-cli --format json: units and uses entries\n"
                 "added and removed, size changes, cycles that are new or grew, and names\n"
                 "not found that are new or gone.",
                 "unitrace-cli diff");
    app.allow_windows_style_options(false);
    std::string oldFile, newFile, format = "text";
    std::vector<std::string> failOn;
    app.add_option("OLD", oldFile, "the earlier result")->required()->type_name("FILE");
    app.add_option("NEW", newFile, "the later result")->required()->type_name("FILE");
    app.add_option("--format", format, "text (default) or json")
        ->check(CLI::IsMember({"text", "json"}));
    app.add_option("--fail-on", failOn,
                   "exit with 3 when any holds: new-cycles (new or grown), new-units")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->check(CLI::IsMember({"new-cycles", "new-units"}));
    app.footer("Exit status: 0 compared, 2 bad usage or a file that is not a result,\n"
               "3 a --fail-on condition holds (one line per offender on standard error).");
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), out);
        return 0;
    } catch (const CLI::ParseError& e) {
        std::fprintf(err, "unitrace-cli diff: %s\n\n%s", e.what(), app.help().c_str());
        return 2;
    }
    ResultDiff diff;
    try {
        std::vector<std::string> oldNotFound, newNotFound;
        UnitGraph oldGraph = ReadResultGraph(oldFile, &oldNotFound);
        UnitGraph newGraph = ReadResultGraph(newFile, &newNotFound);
        diff = DiffResults(oldGraph, newGraph, oldNotFound, newNotFound);
    } catch (const EResultError& e) {
        std::fprintf(err, "unitrace-cli diff: %s\n", e.what());
        return 2;
    }
    std::fputs((format == "json" ? DiffJson(diff) : DiffText(diff)).c_str(), out);

    return ReportDiffGates(failOn, diff, err) ? 3 : 0;
}

} // namespace ut::cli
