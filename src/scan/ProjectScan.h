#pragma once
// The scan: from the project source through every reachable unit, depth first, each source
// once; then the map file's unit sizes. Also the state that the scan leaves for the views
// (the registry of parsed units, the project record, the sizes) and the setup inputs.
#include "config/Compiler.h"
#include "config/LazarusProject.h"
#include "mapfile/MapFile.h"
#include "scan/ScanFrontEnd.h"
#include "scan/ScanSymbols.h"
#include "scan/UnitLookup.h"
#include "scanner/Unit.h"
#include "support/DualStringList.h"
#include "support/StringList.h"
#include "support/StringsComp.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace ut {

class RegistryStore;
class UnitPrefetch;
struct TParsedAhead;

/// The number of threads a scan reads sources with unless told otherwise: one per core.
int DefaultScanJobs();

/// The texts of the Setup page's inputs.
struct SetupInputs {
    std::string Project;          ///< the project file as typed
    std::string SearchPath = "."; ///< search path, entries separated by ';'
    std::string Defines;          ///< conditional symbols, separated by ';'
    std::string Delphi;           ///< the compiler version text
    std::string LibPath;          ///< library path
    std::string BrowsePath;       ///< browsing path
    bool BrowseAlso = false;      ///< the browsing path joins the unit file index
    std::string UnitScopes;       ///< unit scope names, ';'-separated (a .dproj's DCC_Namespace)
    std::string Config;           ///< the .dproj's configuration; empty for the file's default
    std::string Platform;         ///< the .dproj's platform; empty for the file's default
    /// The compiler the sources are read for; Lazarus projects choose Free Pascal.
    TCompiler Compiler = TCompiler::Delphi;
    std::string IncludePath; ///< include directories, ';'-separated (a Lazarus project's)
    std::string BuildMode;   ///< a Lazarus project's build mode; empty for the default
    /// Free Pascal's syntax mode (-M: "objfpc", "delphi", ...); empty for the compiler's
    /// default, or a Lazarus project's SyntaxMode.
    std::string Mode;
    /// Directories searched (with those below them) for the packages a Lazarus project
    /// requires without naming their files; ';'-separated.
    std::string PackagePath;
};

/// Every parsed source by key (file name without directory and extension), owning it.
using UnitRegistry = BasicStringList<std::unique_ptr<TUnit>>;
/// Code size per module name.
using UnitSizes = TUnitSizes;

class ProjectScan {
  public:
    explicit ProjectScan(ScanFrontEnd& frontEnd, const RegistryStore* registry = nullptr);
    ~ProjectScan();
    ProjectScan(const ProjectScan&) = delete;
    ProjectScan& operator=(const ProjectScan&) = delete;

    SetupInputs Inputs;
    /// Threads that read and parse sources for the walk: 1 parses each source when the
    /// walk meets it; more parse the sources the walk is going to need ahead of it, with
    /// the same results and log.
    int Jobs = 1;

    /// Runs the whole scan of `projectFile` (the text of the project box; a .dproj scans the
    /// source it names). Returns true when
    /// it ran to its end ("Done"); false when refused, aborted or failed. A scan requested
    /// while one runs is refused. A failure before the walk (options, opening the project)
    /// propagates, as it does to the application's exception handler.
    bool ScanProject(const std::string& projectFile);

    /// Parses one source and registers it under `key` (empty: the file's name without its
    /// extension); nullptr when its parse raised.
    TUnit* ParseOneUnit(const std::string& fileName, const std::string& key = {});
    /// Walks the uses lists from `unit` down, depth first, parsing every source not met
    /// before.
    void ScanUses(TUnit& unit);
    /// The file of a used name: as written, then as "Scope.Name" for each unit scope; each
    /// candidate through the project's `in` clauses, the .dproj's references, the index.
    std::string FindUnitFile(const std::string& unitName);
    void UpdateProgress();

    /// Logs `text` at the current depth; a text with line feeds becomes several lines.
    void Log(const std::string& text, LogStyle style = lsPlain);
    void LogException(const std::string& fileName, const std::string& message);
    /// The application's exception handler: logs with the current key; ignores EAbort.
    void AppException(const std::exception& e);

    /// Reads the options of the project named in Inputs.Project into the inputs, the map
    /// file name and the executable name: a .dproj (for the chosen configuration and
    /// platform) or the .DOF beside a .dpr or .dpk; a Lazarus project or package file (.lpr,
    /// .lpi, .lpk) also chooses Free Pascal, and a compiler so chosen goes back to Delphi
    /// when another project is named.
    void LoadProjectOptions();
    /// Picks the newest installed compiler version into Inputs.Delphi.
    void SelectInstalledVersion();
    /// Reads the library path, browsing path and root directory of Inputs.Delphi (for the
    /// platform in force). A version that is not installed keeps none of another version's:
    /// what the registry gave before is emptied, what the user typed stays. A Free Pascal
    /// scan takes no Delphi installation's: those read before are emptied, paths given
    /// since are kept.
    void LoadCompilerSettings();
    /// Reads the sources as `compiler` does, with the library of that compiler.
    void SetCompiler(TCompiler compiler);
    /// The symbols implied by the version text; may warn once per run. Without a version
    /// and with no Delphi installation at all, a note says so instead (FVersionNotes).
    std::string VersionDefines();
    /// Rebuilds FDefines and FUnitFiles from the inputs; Escape ends it with "Aborted!" and
    /// EAbort.
    void BuildSearchIndex();

    /// What the "Location" and "Size" texts of the last scan's units depend on.
    TColumnContext ColumnContext() const { return {FDelphiRootDir, FProjectDir, &FUnitSizes}; }

    /// The directories the last scan searched for include files after the including file's.
    const std::shared_ptr<const std::vector<std::string>>& IncludeDirs() const {
        return FIncludeDirs;
    }

    bool IsIgnored(const std::string& name) const;
    TUnit* FindUnit(const std::string& name) const;
    /// The unit a uses entry leads to: by the name as written, else by the scoped name it
    /// resolved to.
    TUnit* FindUsedUnit(const std::string& name) const;
    /// The key a used name resolved to through a unit scope ("Vcl.Forms" for "Forms"); the
    /// name itself when it needed none.
    const std::string& ResolvedName(const std::string& name) const {
        return FLookup.Scopes().ResolvedName(name);
    }
    /// The platform the project is built for: the .dproj's, else Inputs.Platform when the
    /// version has it, else "Win32".
    std::string TargetPlatform() const { return FPlatform.empty() ? "Win32" : FPlatform; }
    std::int64_t UnitSize(const std::string& name) const; ///< 0 when the map has none

    /// Takes a unit out of the result (pruning): out of FUnits and, by its UnitName, out of
    /// FUnitSizes, handing the record to the caller so that the views can drop their
    /// references before it goes. The project's own unit is refused with EWarning; a unit
    /// that is not in FUnits gives nullptr.
    std::unique_ptr<TUnit> ExtractUnit(TUnit* unit);
    /// ExtractUnit and destroy the record; while a walk runs the record is kept until the
    /// next scan instead, since the walk may be inside it.
    void RemoveUnit(TUnit* unit);

    bool Busy() const { return FBusy; }
    /// What the project's Lazarus file says (its required packages among it); none for
    /// other projects.
    const std::optional<TLazarusOptions>& LazarusOptions() const { return FLazarus; }

    // State left by the scan (named as the main window names it).
    UnitRegistry FUnits;
    TProject* FProject = nullptr;
    std::vector<std::string> FDefines;
    /// FDefines with the compiler's constants: what every unit of the scan starts with.
    SharedCompilerSymbols FSymbols;
    /// The Free Pascal target the last scan read the sources for (its version, OS and
    /// CPU); the default target when they were read as Delphi reads them.
    TFpcTarget FFpcTarget;
    TDualStringList FUnitFiles;
    UnitSizes FUnitSizes;
    TStringsComp IgnUnits;
    std::string FProjectDir;
    std::string FMapFileName;
    std::string FExeName;
    std::string FDelphiRoot;
    /// FDelphiRoot as the last scan found it on this system: a drive path mapped as the
    /// unit paths are, so that the two compare.
    std::string FDelphiRootDir;
    /// Nesting level of the lines logged now: 0 at the top, one more per level of the walk.
    int FLogDepth = 0;
    std::string FCurrentKey;
    bool FScanning = false;
    bool FOptionsRead = false;
    /// The directories the last scan listed for unit files, in order.
    std::vector<std::string> FListedDirectories;
    /// The names the last scan reported as not found, in the order of the log.
    std::vector<std::string> FNotFoundNames;
    /// The source that a .dproj project names (empty for any other project).
    std::string FProjectSource;
    /// The configuration and platform in force, and those the .dproj offers (all empty
    /// without one); a Lazarus project's build modes are its configurations.
    std::string FConfig, FPlatform;
    std::vector<std::string> FConfigs, FPlatforms;
    /// Problems met reading the options and the compiler settings, what the version text
    /// lacks, and the variables of the search paths that nothing sets; logged by every scan.
    std::vector<std::string> FOptionsNotes, FCompilerNotes, FVersionNotes, FVariableNotes;

  private:
    /// One unit on the walk's path.
    struct WalkLevel {
        TUnit* Unit;
        int Next;         ///< the uses entry looked at next
        std::string File; ///< the file parsed for this level; empty at the top
    };
    /// One uses entry of the walk: the record parsed for `name`, if any; `file` is the file
    /// it was parsed from.
    TUnit* VisitUse(const std::string& name, std::string& file);
    /// Ends the levels that `failure` left, logging it one level up; passes it on from the
    /// top level.
    void LeaveFailedLevels(std::vector<WalkLevel>& levels, std::exception_ptr failure, int top);

    /// Starts the read-ahead workers; says once when not all of them could be started.
    void StartPrefetch();
    /// Queues for reading ahead the files of `unit`'s uses entries that the walk may parse.
    void PrefetchUses(const TUnit& unit);
    /// Takes over a record parsed ahead: the failures its parse met are reported now, as
    /// its parse here would have reported them.
    void AdoptParsed(TUnit& unit, const TParsedAhead& parsed);

    void ClearRecords();
    /// Lets pending events run; when Escape is held, logs "Aborted!" and throws EAbort.
    void CheckAbort();

    void ReadLazarusOptions();
    /// Logs a used name that no file answers to (`missing`: the file it was to be read from,
    /// which is not there), once per scan, and lists it in FNotFoundNames.
    void ReportNotFound(const std::string& name, const std::string& missing);
    /// The record of the project: its source, a Lazarus project's main source, or a
    /// Lazarus package's unit list.
    std::unique_ptr<TProject> CreateProject(const std::string& fullName) const;

    /// What the project's Lazarus file says; none for other projects.
    std::optional<TLazarusOptions> FLazarus;
    std::shared_ptr<const std::vector<std::string>> FIncludeDirs;
    /// The project's parse context and its required packages'.
    std::shared_ptr<TParseContexts> FContexts;
    /// Builds FContexts from FSymbols, FIncludeDirs and the Lazarus project's packages.
    void BuildParseContexts(const TFpcTarget& target);
    /// The directories of a package's unit files, ';'-separated.
    static std::string PackageUnitDirs(const TLazarusPackage& package);
    std::string FLazarusWarning; ///< the last warning about a Lazarus project file
    /// Variables of the .dproj's search path that nothing sets.
    std::vector<std::string> FOptionsUnknown;
    /// The paths and root the registry gave last (what a version not installed empties).
    struct {
        std::string LibPath, BrowsePath, Root;
    } FFromRegistry;
    /// Inputs.Compiler was switched to Free Pascal because the project is a Lazarus one.
    bool FCompilerFromProject = false;
    /// The library inputs (LibPath, BrowsePath, FDelphiRoot) hold a Delphi installation's.
    bool FDelphiLibrary = false;

    /// Finds the files of used names in FUnitFiles and the project's own lists.
    UnitLookup FLookup{FUnitFiles};
    ScanFrontEnd& FFrontEnd;
    const RegistryStore* FRegistry;
    std::unique_ptr<TStringList> FNotFound;
    /// Reads ahead of the walk while one runs with more than one job.
    std::unique_ptr<UnitPrefetch> FPrefetch;
    /// Folded names whose files the walk has asked the prefetch for (or found it need not).
    std::unordered_set<std::string> FPrefetchAsked;
    /// Records taken out of FUnits while a walk may still use them; freed by the next scan.
    std::vector<std::unique_ptr<TUnit>> FRetired;
    bool FBusy = false;
    bool FWarned = false;
    bool FPrefetchWarned = false; ///< a scan said that read-ahead workers failed to start
};

} // namespace ut
