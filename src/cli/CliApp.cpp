#include "cli/CliApp.h"

#include "analysis/HygieneCosts.h"
#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"
#include "cli/DiffCommand.h"
#include "cli/RulesRun.h"
#include "config/CompilerSettings.h"
#include "config/SearchIndex.h"
#include "platform/Arguments.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "report/CutsText.h"
#include "report/DotExport.h"
#include "report/Gates.h"
#include "report/GroupedDot.h"
#include "report/HtmlReport.h"
#include "report/HygieneReport.h"
#include "report/JsonWriter.h"
#include "report/TextTree.h"
#include "report/UsesPatch.h"
#include "report/WhyReport.h"
#include "scan/PackageContents.h"
#include "scan/ProjectScan.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"
#include "support/Utf8.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include <unistd.h>

namespace ut::cli {

using namespace report;

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

// Writes `text`, keeping the error number of the first failure in `error`.
void Put(const std::string& text, std::FILE* out, int& error) {
    if (std::fputs(text.c_str(), out) < 0 && error == 0)
        error = errno;
}

// The node named by `option`'s value (without regard to case): -1 when the option is not
// given; false, with a message on `err`, when no parsed unit has that name, unless
// `notFound` is given and the scan did not find it: it is then set to the name as the scan
// listed it.
bool FindNamedUnit(const DependencyAnalysis& analysis, const char* option,
                   const std::optional<std::string>& name, int& node, std::FILE* err,
                   const ProjectScan* scan = nullptr, std::string* notFound = nullptr) {
    node = -1;
    if (!name)
        return true;
    node = analysis.Graph().Find(*name);
    if (node >= 0)
        return true;
    if (scan && notFound)
        if (const int i = IndexOfText(scan->FNotFoundNames, Trim(*name)); i >= 0) {
            *notFound = scan->FNotFoundNames[static_cast<size_t>(i)];
            return true;
        }
    std::fprintf(err, "unitrace-cli: %s: \"%s\" is not a parsed unit%s\n", option, name->c_str(),
                 notFound ? " nor a unit the scan did not find" : "");
    return false;
}

// The graph as --format dot draws it: whole, chosen by --focus, --depth and --cycles-only,
// or by groups. A whole graph too big to read gets advice on standard error.
std::string GraphDot(const ProjectScan& scan, const DependencyAnalysis& analysis,
                     const DotOptions& dot, const std::optional<std::string>& groupBy,
                     std::FILE* err) {
    const UnitGraph& graph = analysis.Graph();
    if (!groupBy) {
        const bool whole = dot.Focus < 0 && dot.Depth < 0 && !dot.CyclesOnly;
        if (whole && graph.Count() > 1000)
            std::fprintf(err,
                         "unitrace-cli: the graph has %d units, too many to read in one "
                         "picture: --group-by, --focus or --depth will give a readable one\n",
                         graph.Count());
        return ExportDot(graph, analysis.Cycles(), dot);
    }
    const GroupBy by = GroupByOfName(*groupBy).value_or(GroupBy::Folder);
    UnitGrouping grouping = GroupUnits(
        graph, by, by == GroupBy::Package ? FindPackages(scan) : std::vector<PackageContents>{});
    const std::vector<bool> keep = DotSelection(graph, analysis.Cycles(), dot);
    for (int v = 0; v < graph.Count(); ++v)
        if (!keep[v])
            grouping.GroupOf[v] = -1;
    DependencyMatrix matrix(graph, analysis.Levels(), std::move(grouping));
    return ExportGroupedDot(matrix, dot.Text);
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
    if (parsed.Options.Version) {
        std::fprintf(out, "%s\n", VersionText().c_str());
        return 0;
    }
    if (!parsed.Error.empty()) {
        std::fprintf(err, "unitrace-cli: %s\n\n%s", parsed.Error.c_str(), UsageText().c_str());
        return 2;
    }
    const CliOptions& o = parsed.Options;
    const bool json = o.Format == OutputFormat::Json;
    RulesRun rules(o);
    if (!rules.Load(err))
        return 2;

    // From here on a Ctrl+C is honoured at the scan's first look at it.
    InterruptGuard interrupt;
    RegistryStore registry = RegistryStore::FromEnvironment(o.RegistryFiles);
    for (const std::string& warning : registry.Warnings())
        std::fprintf(err, "warning: %s\n", warning.c_str());
    const bool log = o.Format == OutputFormat::Text;
    CliFrontEnd frontEnd(out, err, log, log && isatty(fileno(out)));
    ProjectScan scan(frontEnd, &registry);
    scan.Jobs = o.Jobs > 0 ? o.Jobs : DefaultScanJobs();

    // Defaults as the window takes them: the newest installed version, then the options file.
    scan.SelectInstalledVersion();
    if (o.Delphi) {
        scan.Inputs.Delphi = *o.Delphi;
        scan.LoadCompilerSettings();
        if (const std::string note = NotInstalledMessage(registry, *o.Delphi); !note.empty())
            std::fprintf(err, "warning: %s\n", note.c_str());
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
    try {
        if (o.BuildMode)
            scan.Inputs.BuildMode = *o.BuildMode;
        if (o.PackagePath)
            scan.Inputs.PackagePath = *o.PackagePath;
        scan.Inputs.Config = o.Config.value_or("");
        scan.Inputs.Platform = o.Platform.value_or("");
        scan.LoadProjectOptions();
        fs::SetCurrentDir(typedIn);
        if (o.Compiler)
            scan.SetCompiler(CompilerOfName(*o.Compiler).value_or(TCompiler::Delphi));
        if (o.SearchPath)
            scan.Inputs.SearchPath = *o.SearchPath;
        if (o.IncludePath)
            scan.Inputs.IncludePath = *o.IncludePath;
        if (o.Mode)
            scan.Inputs.Mode = *o.Mode;
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
        // Without a .dproj that offers platforms, the version's are the choice.
        if (o.Platform && scan.FPlatforms.empty() && scan.Inputs.Compiler == TCompiler::Delphi)
            if (const std::string why = UnknownPlatformMessage(scan.Inputs.Delphi, *o.Platform);
                !why.empty()) {
                std::fprintf(err, "unitrace-cli: --platform: %s\n", why.c_str());
                return 2;
            }
        completed = scan.ScanProject(o.Project);
    } catch (const std::exception& e) {
        scan.AppException(e);
    }

    // Every message from here on goes to standard error, which may be the same file as the
    // log: the log's lines come first.
    frontEnd.FlushLog();
    // The text log says "Aborted!" itself; the other formats say it beside their output.
    // A tree of an aborted scan would look complete: none is printed.
    const bool aborted = !completed && InterruptGuard::Interrupted();
    if (aborted && o.Format != OutputFormat::Text)
        std::fputs("Aborted!\n", err);
    int writeError = frontEnd.WriteError();

    // The analysis of what the scan left: the document's cycles, --why, the graph, the gates.
    std::optional<DependencyAnalysis> analysis;
    int why = -1, focus = -1;
    std::string whyName; // a name not found
    const bool analyse = json || o.Format == OutputFormat::Dot || o.Format == OutputFormat::Html ||
                         o.Why || o.Focus || !o.FailOn.empty() || o.Cuts || o.TopRecompile > 0 ||
                         rules.Active();
    if (scan.FProject && analyse) {
        analysis.emplace(scan);
        if (!FindNamedUnit(*analysis, "--why", o.Why, why, err, &scan, &whyName) ||
            !FindNamedUnit(*analysis, "--focus", o.Focus, focus, err))
            return 2;
        rules.Check(scan, *analysis, err);
    }

    // The uses hygiene of a completed scan; Ctrl+C ends it as it ends the scan.
    std::optional<THygiene> hygiene;
    if (o.Hygiene && completed) {
        THygieneOptions options;
        options.AllUnits = o.HygieneAll;
        options.Jobs = scan.Jobs;
        options.IncludeDirs = scan.IncludeDirs();
        options.Progress = [&frontEnd](int, int) { return frontEnd.ProcessEvents(); };
        try {
            hygiene = THygiene::Judge(scan, options);
        } catch (const EAbort&) {
            std::fputs("Aborted!\n", err);
            return 1;
        }
    }
    if (hygiene && o.Format == OutputFormat::Text)
        Put("\n" + HygieneText(scan, *hygiene), out, writeError);
    // The references each entry carries make the cheapest cuts; without them each costs one.
    const EntryCosts costs =
        hygiene && analysis ? CostsOfHygiene(scan, analysis->Graph(), *hygiene) : EntryCosts();

    if (json) {
        ScanSummary summary;
        summary.Project = project;
        summary.Completed = completed;
        summary.Directories = scan.FListedDirectories;
        summary.Analysis = analysis ? &*analysis : nullptr;
        summary.WhyUnit = why;
        rules.AddSections(summary);
        summary.WhyName = whyName;
        summary.Hygiene = hygiene ? &*hygiene : nullptr;
        summary.Costs = &costs;
        WriteScanResultJson(scan, summary, frontEnd.Entries(), [&](std::string_view piece) {
            if (std::fwrite(piece.data(), 1, piece.size(), out) != piece.size() && writeError == 0)
                writeError = errno;
        });
    } else if (o.Format == OutputFormat::Sarif) {
        if (!aborted && analysis)
            Put(rules.Sarif(completed), out, writeError);
    } else if (!aborted && o.Format == OutputFormat::Dot && analysis) {
        DotOptions dot;
        dot.Focus = focus;
        dot.Depth = o.DepthGiven ? o.Depth : -1;
        dot.CyclesOnly = o.CyclesOnly;
        dot.Text = ToUtf8;
        Put(GraphDot(scan, *analysis, dot, o.GroupBy, err), out, writeError);
    } else if (!aborted && o.Format == OutputFormat::Html && analysis) {
        HtmlReportInputs inputs;
        inputs.Project = project;
        inputs.Completed = completed;
        inputs.NotFound = scan.FNotFoundNames;
        AddAnalysisInputs(inputs, scan, *analysis, costs, hygiene ? &*hygiene : nullptr);
        Put(HtmlReport(*analysis, inputs), out, writeError);
    } else if (!aborted && o.Format == OutputFormat::Tree && scan.FProject) {
        Put(FormatTree(scan, TreeFilters{}, o.Tree, o.Depth), out, writeError);
    } else if (o.Format == OutputFormat::Patch) {
        try {
            if (hygiene) {
                const std::string patch = UsesPatch(scan, *hygiene);
                platform::WriteBytesAsTheyAre(out);
                Put(patch, out, writeError);
            }
        } catch (const EWarning& e) {
            std::fprintf(err, "unitrace-cli: %s\n", e.what());
            return 1;
        }
    } else if (!aborted && o.Tree != 0 && scan.FProject) {
        Put("\n" + FormatTree(scan, TreeFilters{}, o.Tree, o.Depth), out, writeError);
    }
    // What follows the log or the tree; a document (JSON, DOT, HTML, SARIF, a patch) stays whole.
    const bool textual = o.Format == OutputFormat::Text || o.Format == OutputFormat::Tree;
    if (why >= 0 && textual)
        Put("\n" + WhyText(*analysis, why), out, writeError);
    else if (!whyName.empty() && textual)
        Put("\n" + WhyNameText(*analysis, whyName), out, writeError);
    if (analysis && !aborted && textual) {
        if (o.Cuts)
            Put("\n" + CutsText(*analysis, costs), out, writeError);
        if (o.TopRecompile > 0)
            Put("\n" + TopRecompileText(*analysis, o.TopRecompile), out, writeError);
    }
    if (!aborted && o.Format == OutputFormat::Text)
        Put(rules.Text(), out, writeError);
    if (std::fflush(out) != 0 && writeError == 0)
        writeError = errno;
    if (writeError != 0) {
        std::fprintf(err, "unitrace-cli: cannot write the output: %s\n", std::strerror(writeError));
        return 1;
    }
    if (!completed)
        return 1;
    bool failed = analysis && ReportGates(o.FailOn, scan, *analysis, frontEnd.Entries(), err);
    if (hygiene && ReportHygieneGates(o.FailOn, scan, *hygiene, err))
        failed = true;
    const int rulesStatus = analysis ? rules.Finish(err) : 0;
    return rulesStatus == 1 ? 1 : failed || rulesStatus == 3 ? 3 : 0;
}

} // namespace ut::cli
