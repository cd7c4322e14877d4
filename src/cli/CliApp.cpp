#include "cli/CliApp.h"

#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"
#include "cli/JsonWriter.h"
#include "cli/TextTree.h"
#include "config/SearchIndex.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/ProjectScan.h"
#include "support/Textutil.h"

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
        scan.EDelphiChange();
    }
    // Reading the options file changes the current directory: name the project in full.
    const std::string project = fs::ExpandFileName(o.Project);
    scan.Inputs.Project = project;
    if (!fs::FileExists(project)) {
        scan.ScanProject(project); // reports "File ... not found!"
        return 2;
    }
    bool completed = false;
    InterruptGuard interrupt;
    try {
        if (o.BuildMode)
            scan.Inputs.BuildMode = *o.BuildMode;
        scan.EProjectChange();
        if (o.Compiler)
            scan.Inputs.Compiler = CompilerOfName(*o.Compiler).value_or(TCompiler::Delphi);
        if (o.SearchPath)
            scan.Inputs.SearchPath = *o.SearchPath;
        if (o.Defines)
            scan.Inputs.Defines = *o.Defines;
        if (o.LibPath)
            scan.Inputs.LibPath = *o.LibPath;
        if (o.BrowsePath)
            scan.Inputs.BrowsePath = *o.BrowsePath;
        if (o.UseBrowsePath)
            scan.Inputs.BrowseAlso = true;
        if (o.Ignore)
            scan.IgnUnits.SetLines(SplitNames(*o.Ignore));
        completed = scan.ScanProject(project);
    } catch (const std::exception& e) {
        scan.AppException(e);
    }

    if (json) {
        ScanSummary summary;
        summary.Project = project;
        summary.Completed = completed;
        summary.Directories = scan.FListedDirectories;
        std::fputs(ScanResultJson(scan, summary, frontEnd.Entries()).c_str(), out);
    } else if (o.Format == OutputFormat::Tree && scan.FProject) {
        std::fputs(FormatTree(scan, TreeFilters{}, o.Tree, o.Depth).c_str(), out);
    } else if (o.Tree != 0 && scan.FProject) {
        std::fputs("\n", out);
        std::fputs(FormatTree(scan, TreeFilters{}, o.Tree, o.Depth).c_str(), out);
    }
    return completed ? 0 : 1;
}

} // namespace ut::cli
