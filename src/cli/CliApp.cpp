#include "cli/CliApp.h"

#include "analysis/DotExport.h"
#include "cli/AnalysisReport.h"
#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"
#include "cli/DiffCommand.h"
#include "cli/JsonWriter.h"
#include "cli/TextTree.h"
#include "config/SearchIndex.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/ProjectScan.h"
#include "support/Textutil.h"

#include <optional>

#include <unistd.h>

namespace ut::cli {

namespace {

std::vector<std::string> SplitNames(const std::string& list) {
    std::string s = list;
    for (char& c : s)
        if (c == ',')
            c = ';';
    std::vector<std::string> pieces, names;
    SplitToList(s, ";", pieces);
    for (const std::string& p : pieces) {
        std::string t = Trim(p);
        if (!t.empty())
            names.push_back(std::move(t));
    }
    return names;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (!args.empty() && args[0] == "diff")
        return RunDiff({args.begin() + 1, args.end()}, out, err);
    const ParseResult parsed = ParseCommandLine(args);
    if (parsed.Options.Help) {
        std::fputs(UsageText().c_str(), out);
        return 0;
    }
    if (!parsed.Error.empty()) {
        std::fprintf(err, "unitrace-cli: %s\n\n%s", parsed.Error.c_str(), UsageText().c_str());
        return 2;
    }
    const CliOptions& o = parsed.Options;
    const bool json = o.Format == OutputFormat::Json;

    RegistryStore registry = RegistryStore::FromEnvironment(o.RegistryFiles);
    const bool log = o.Format == OutputFormat::Text;
    CliFrontEnd frontEnd(out, err, log, log && isatty(fileno(out)));
    ProjectScan scan(frontEnd, &registry);

    // Defaults as the window takes them: the newest installed version, then the options file.
    scan.SelectInstalledVersion();
    if (o.Delphi) {
        scan.Inputs.Delphi = *o.Delphi;
        scan.LoadCompilerSettings();
    }
    // Reading the options file changes the current directory: the inputs name the project
    // in full, while the scan gets (and logs) it as typed, against the directory it was
    // typed in.
    const std::string project = fs::ExpandFileName(o.Project);
    const std::string typedIn = fs::GetCurrentDir();
    scan.Inputs.Project = project;
    if (!fs::FileExists(project)) {
        scan.ScanProject(project); // reports "File ... not found!"
        return 2;
    }
    bool completed = false;
    InterruptGuard interrupt;
    try {
        scan.Inputs.Config = o.Config.value_or("");
        scan.Inputs.Platform = o.Platform.value_or("");
        scan.LoadProjectOptions();
        fs::SetCurrentDir(typedIn);
        if (o.SearchPath)
            scan.Inputs.SearchPath = *o.SearchPath;
        if (o.Defines)
            scan.Inputs.Defines = *o.Defines;
        if (o.LibPath)
            scan.Inputs.LibPath = *o.LibPath;
        if (o.BrowsePath)
            scan.Inputs.BrowsePath = *o.BrowsePath;
        if (o.UnitScopes)
            scan.Inputs.UnitScopes = *o.UnitScopes;
        if (o.UseBrowsePath)
            scan.Inputs.BrowseAlso = true;
        if (o.Ignore)
            scan.IgnUnits.SetLines(SplitNames(*o.Ignore));
        completed = scan.ScanProject(o.Project);
    } catch (const std::exception& e) {
        scan.AppException(e);
    }

    // The analysis of what the scan left: the document's cycles, --why, the graph, the gates.
    std::optional<DependencyAnalysis> analysis;
    int why = -1, focus = -1;
    const bool analyse =
        json || o.Format == OutputFormat::Dot || o.Why || o.Focus || !o.FailOn.empty();
    if (scan.FProject && analyse) {
        analysis.emplace(scan);
        if (!FindNamedUnit(*analysis, "--why", o.Why, why, err) ||
            !FindNamedUnit(*analysis, "--focus", o.Focus, focus, err))
            return 2;
    }

    if (json) {
        ScanSummary summary;
        summary.Project = project;
        summary.Completed = completed;
        summary.Directories = scan.FListedDirectories;
        summary.Analysis = analysis ? &*analysis : nullptr;
        summary.WhyUnit = why;
        std::fputs(ScanResultJson(scan, summary, frontEnd.Entries()).c_str(), out);
    } else if (o.Format == OutputFormat::Dot && analysis) {
        DotOptions dot;
        dot.Focus = focus;
        dot.Depth = o.DepthGiven ? o.Depth : -1;
        dot.CyclesOnly = o.CyclesOnly;
        dot.Text = ToUtf8;
        std::fputs(ExportDot(analysis->Graph(), analysis->Cycles(), dot).c_str(), out);
    } else if (o.Format == OutputFormat::Tree && scan.FProject) {
        std::fputs(FormatTree(scan, TreeFilters{}, o.Tree, o.Depth).c_str(), out);
    } else if (o.Tree != 0 && scan.FProject) {
        std::fputs("\n", out);
        std::fputs(FormatTree(scan, TreeFilters{}, o.Tree, o.Depth).c_str(), out);
    }
    if (why >= 0 && !json && o.Format != OutputFormat::Dot) {
        std::fputs("\n", out);
        std::fputs(WhyText(*analysis, why).c_str(), out);
    }
    if (!completed)
        return 1;
    const bool failed = analysis && ReportGates(o.FailOn, scan, *analysis, frontEnd.Entries(), err);
    return failed ? 3 : 0;
}

} // namespace ut::cli
