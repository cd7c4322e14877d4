#pragma once
// The command line of unitrace-cli, parsed into a result; nothing is printed here.
#include <optional>
#include <string>
#include <vector>

namespace ut::cli {

enum class OutputFormat { Text, Json, Tree, Dot, Html, Sarif, Patch };

struct CliOptions {
    std::string Project;
    std::optional<std::string> SearchPath;
    std::optional<std::string> Defines;
    std::optional<std::string> Delphi;
    std::optional<std::string> Compiler; ///< "delphi" or "fpc"
    std::optional<std::string> BuildMode;
    std::optional<std::string> Mode;        ///< Free Pascal's syntax mode (-M)
    std::optional<std::string> PackagePath; ///< where required Lazarus packages are looked for
    std::optional<std::string> IncludePath;
    std::optional<std::string> LibPath;
    std::optional<std::string> BrowsePath;
    std::optional<std::string> UnitScopes;
    std::optional<std::string> Config;
    std::optional<std::string> Platform;
    bool UseBrowsePath = false;
    std::optional<std::string> Ignore; ///< names separated by ';' or ','
    std::vector<std::string> RegistryFiles;
    OutputFormat Format = OutputFormat::Text;
    /// Direction of the printed tree: 1 uses, 2 used by; 0 prints none after a text log.
    int Tree = 0;
    int Depth = 3;
    bool DepthGiven = false;        ///< --depth was on the command line (the graph has no default)
    std::optional<std::string> Why; ///< the unit whose shortest paths are printed
    std::optional<std::string> Focus; ///< the graph keeps the paths through this unit
    bool CyclesOnly = false;
    /// dot: one node per group of units: "folder", "scope" or "package".
    std::optional<std::string> GroupBy;
    bool Cuts = false;               ///< print each cycle's cuts after the log
    int TopRecompile = 0;            ///< print the units of the largest recompile reach, this many
    std::vector<std::string> FailOn; ///< conditions that end a completed scan with status 3
    /// The uses hygiene: --hygiene, --hygiene-all, the patch format, the gates unused and
    /// movable; HygieneAll judges the units outside the project's tree too.
    bool Hygiene = false, HygieneAll = false;
    std::optional<std::string> Rules;    ///< the rules file
    std::optional<std::string> Baseline; ///< the violations known already
    bool UpdateBaseline = false;
    bool Audit = false;
    /// Threads that read sources during the scan; 0: one per core.
    int Jobs = 0;
    bool Help = false;
    bool Version = false; ///< --version: print the program's version
};

struct ParseResult {
    CliOptions Options;
    std::string Error; ///< empty when the command line was understood
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

/// "unitrace-cli 0.1"
std::string VersionText();

} // namespace ut::cli
