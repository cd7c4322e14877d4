#include "scan/ProjectScan.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/ScanSymbols.h"
#include "scan/UnitPrefetch.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace ut {

namespace {

// Sets a flag for the lifetime of the guard, also when the scope is left by an exception.
class FlagGuard {
  public:
    explicit FlagGuard(bool& flag) : FFlag(flag) { FFlag = true; }
    ~FlagGuard() { FFlag = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

  private:
    bool& FFlag;
};

} // namespace

int DefaultScanJobs() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

ProjectScan::ProjectScan(ScanFrontEnd& frontEnd, const RegistryStore* registry)
    : FUnits(true, TDuplicates::dupError), FFrontEnd(frontEnd), FRegistry(registry) {
    IgnUnits.SetLines(DefaultIgnoredUnits());
    IgnUnits.MakeSorted();
    if (FRegistry)
        FRegistry->InstallDriveMapper();
    // A failure of a source's parse names the source's full path, as one opening it does.
    UnitErrorHook = [this](TUnit& unit, const std::exception& e) {
        if (!dynamic_cast<const EAbort*>(&e))
            LogException(unit.SourceFileName(), e.what());
    };
}

ProjectScan::~ProjectScan() {
    UnitErrorHook = nullptr;
    ClearRecords();
}

void ProjectScan::ClearRecords() {
    FProject = nullptr;
    FUnits.Clear();
    FRetired.clear();
}

bool ProjectScan::ScanProject(const std::string& projectFile) {
    if (FBusy)
        return false;
    FlagGuard busy(FBusy);

    const std::string full = fs::ExpandFileName(projectFile);
    if (!fs::FileExists(full)) {
        FFrontEnd.ErrorMessage(Format("File \"%s\" not found!", full.c_str()));
        return false;
    }
    if (!FOptionsRead)
        LoadProjectOptions();
    std::string source = full;
    if (IndexOfExt(full, {".dproj"}) == 0) {
        source = FProjectSource;
        if (source.empty() || !fs::FileExists(source)) {
            const std::string missing = source.empty() ? fs::ChangeFileExt(full, ".dpr") : source;
            FFrontEnd.ErrorMessage(Format("File \"%s\" not found!", missing.c_str()));
            return false;
        }
    }

    // The views refer to the records: empty them before the records go.
    FFrontEnd.ResetViews();
    ClearRecords();
    FUnits.Clear();

    FFrontEnd.ShowUnitCount(std::string(), false);
    FFrontEnd.ClearLog();
    fs::SetCurrentDir(fs::ExtractFilePath(source));
    fs::ListingCacheScope listings;

    try {
        BuildSearchIndex();
    } catch (const EAbort&) {
        FFrontEnd.SetApplicationTitle("Uni-Trace - Error!");
        return false;
    }

    FCurrentKey.clear();
    FLogDepth = 0;
    FNotFoundNames.clear();
    Log(Format("Scanning project %s", projectFile.c_str()));
    for (const auto* notes : {&FVersionNotes, &FCompilerNotes, &FOptionsNotes, &FVariableNotes})
        for (const std::string& note : *notes)
            Log(note, lsItalic);

    std::unique_ptr<TProject> project = CreateProject(source);
    FProject = project.get();
    FCurrentKey = fs::FileKey(source);
    FUnits.AddObject(FCurrentKey, std::move(project));

    bool completed = false;
    try {
        {
            FlagGuard scanning(FScanning);
            FProject->SetSymbols(FSymbols);
            FProject->SetIncludeDirs(FIncludeDirs);
            FProject->Parse();
            Log(Format("%s: parsed...", FProject->UnitName.c_str()));
            FProjectDir = fs::IncludeTrailingPathDelimiter(fs::ExtractFileDir(FProject->FileName));
            UpdateProgress();
            FLogDepth = 1;
            FNotFound = NewSortedStrings(TDuplicates::dupIgnore);
            try {
                if (FProject->Kind == ukPackage) {
                    std::vector<std::string> added;
                    for (const std::string& symbol : FProject->Defines.Names())
                        if (!FSymbols->IsDefined(symbol))
                            added.push_back(symbol);
                    FDefines.insert(FDefines.end(), added.begin(), added.end());
                    FSymbols = WithSymbols(*FSymbols, added);
                    FContexts->Project.Symbols = FSymbols;
                } else if (FProject->ConsoleApp && !FSymbols->IsDefined("CONSOLE")) {
                    // The compiler defines it at {$APPTYPE CONSOLE}, for every unit after.
                    FDefines.push_back("CONSOLE");
                    FSymbols = WithSymbols(*FSymbols, {"CONSOLE"});
                    FContexts->Project.Symbols = FSymbols;
                }
                FPrefetchAsked.clear();
                if (Jobs > 1)
                    StartPrefetch();
                ScanUses(*FProject);
                FPrefetch.reset();
            } catch (...) {
                FPrefetch.reset();
                FNotFound.reset();
                FLogDepth = 0;
                FCurrentKey.clear();
                throw;
            }
            FNotFound.reset();
            FLogDepth = 0;
            FCurrentKey.clear();

            if (!FMapFileName.empty() && fs::FileExists(FMapFileName)) {
                Log("Parsing map-file...");
                try {
                    ReadMapFile(FMapFileName, FUnitSizes, [this] { CheckAbort(); });
                } catch (const EAbort&) {
                    throw;
                } catch (const std::exception& e) {
                    AppException(e);
                }
            }
            Log("Done", lsBold);
        }
        FFrontEnd.SetApplicationTitle(fs::ExtractFileName(Inputs.Project));
        completed = true;
    } catch (const EAbort&) {
        FFrontEnd.SetApplicationTitle("Uni-Trace - Error!");
    } catch (const std::exception& e) {
        FFrontEnd.SetApplicationTitle("Uni-Trace - Error!");
        LogException(projectFile, e.what());
    }
    return completed;
}

void ProjectScan::StartPrefetch() {
    FPrefetch = std::make_unique<UnitPrefetch>(Jobs - 1, FContexts);
    const int started = FPrefetch->Workers();
    if (started == Jobs - 1)
        return;
    const std::string why = FPrefetch->StartFailure();
    if (started == 0)
        FPrefetch.reset(); // as with one job
    if (std::exchange(FPrefetchWarned, true))
        return;
    FFrontEnd.Warning(
        started == 0
            ? Format("No thread could be started to read sources ahead (%s): each source is "
                     "read when the scan meets it.",
                     why.c_str())
            : Format("Only %d of %d threads could be started to read sources ahead (%s): the "
                     "scan goes on with them.",
                     started, Jobs - 1, why.c_str()));
}

void ProjectScan::ScanUses(TUnit& unit) {
    // Depth first over an explicit stack: a uses chain is as deep as the project has units.
    // Each level keeps its unit, the index of the entry it looks at next and the file that
    // led to it. Records are never destroyed while a walk runs (replaced records are
    // retired, not freed), so the units on the stack stay valid; their lists are read by
    // index on every round.
    const int top = FLogDepth;
    std::vector<WalkLevel> levels{{&unit, 0, {}}};
    PrefetchUses(unit);
    while (!levels.empty()) {
        FLogDepth = top + static_cast<int>(levels.size()) - 1;
        try {
            WalkLevel& level = levels.back();
            if (level.Next >= level.Unit->Uses.Count()) {
                levels.pop_back();
                continue;
            }
            const std::string name = level.Unit->Uses[level.Next++];
            CheckAbort();
            std::string file;
            if (TUnit* child = VisitUse(name, file)) {
                levels.push_back({child, 0, std::move(file)});
                PrefetchUses(*child);
            }
        } catch (const EAbort&) {
            FLogDepth = top;
            throw;
        } catch (const std::exception&) {
            // A failure of a level's own step ends that level; it is logged one level up
            // with the file of the level, and the walk goes on with that level's next entry.
            LeaveFailedLevels(levels, std::current_exception(), top);
        } catch (...) {
            FLogDepth = top;
            throw;
        }
    }
    FLogDepth = top;
}

TUnit* ProjectScan::VisitUse(const std::string& name, std::string& file) {
    if (IsIgnored(name))
        return nullptr;
    int index = 0;
    if (FUnits.Find(name, index))
        return nullptr;
    file = FindUnitFile(name);
    if (file.empty()) {
        ReportNotFound(name, {});
        return nullptr;
    }
    // A unit has one key: a scoped name's is its file's, that of a name whose `in` file is
    // called otherwise the name. Either may lead to a unit parsed already.
    const std::string fileKey = fs::FileKey(file);
    const std::string key =
        FLookup.Scopes().IsScoped(name) || SameText(fileKey, name) ? fileKey : name;
    if (FUnits.Find(key, index))
        return nullptr;
    try {
        return ParseOneUnit(file, key);
    } catch (const EAbort&) {
        throw;
    } catch (const std::exception& e) {
        if (!fs::PathExists(file)) // an `in` file or a reference that is not there
            ReportNotFound(name, file);
        else
            LogException(file, e.what());
        file.clear();
        return nullptr;
    }
}

void ProjectScan::LeaveFailedLevels(std::vector<WalkLevel>& levels, std::exception_ptr failure,
                                    int top) {
    for (;;) {
        if (levels.size() == 1) {
            FLogDepth = top;
            std::rethrow_exception(failure);
        }
        const std::string file = std::move(levels.back().File);
        levels.pop_back();
        FLogDepth = top + static_cast<int>(levels.size()) - 1;
        try {
            try {
                std::rethrow_exception(failure);
            } catch (const EAbort&) {
                throw;
            } catch (const std::exception& e) {
                LogException(file, e.what());
            }
            return;
        } catch (const EAbort&) {
            FLogDepth = top;
            throw;
        } catch (const std::exception&) {
            failure = std::current_exception(); // the line could not be logged: one more up
        }
    }
}

void ProjectScan::ReportNotFound(const std::string& name, const std::string& missing) {
    int at = 0;
    if (!FNotFound || FNotFound->Find(name, at))
        return;
    if (missing.empty())
        Log(Format("%s: not found", name.c_str()), lsItalic);
    else
        Log(Format("%s: not found (%s is missing)", name.c_str(), missing.c_str()), lsItalic);
    FNotFound->Add(name);
    FNotFoundNames.push_back(name);
}

TUnit* ProjectScan::ParseOneUnit(const std::string& fileName, const std::string& unitKey) {
    const std::string key = unitKey.empty() ? fs::FileKey(fileName) : unitKey;
    int index = 0;
    if (FUnits.Find(key, index)) {
        // The old record may be on the walk's path (or be the project): keep it alive.
        FRetired.push_back(FUnits.Extract(index));
    }
    std::optional<TParsedAhead> ahead;
    if (FPrefetch)
        ahead = FPrefetch->Take(fileName);
    if (ahead && ahead->OpenError)
        std::rethrow_exception(ahead->OpenError);
    auto record = ahead ? std::move(ahead->Unit) : std::make_unique<TUnit>(fileName);
    TUnit* unit = record.get();
    FUnits.AddObject(key, std::move(record));
    TUnit* result = unit;
    try {
        FCurrentKey = key;
        if (ahead) {
            AdoptParsed(*unit, *ahead);
        } else {
            const TParseContext& context = FContexts->Of(fileName);
            unit->SetSymbols(context.Symbols);
            unit->SetIncludeDirs(context.IncludeDirs);
            unit->Parse();
        }
        Log(Format("%s: parsed...", unit->UnitName.c_str()));
    } catch (const EAbort&) {
        throw;
    } catch (const std::exception& e) {
        LogException(fileName, e.what());
        result = nullptr;
    }
    // What the source defined for itself mattered only while it was read.
    unit->Defines.SetBase(FSymbols);
    UpdateProgress();
    return result;
}

void ProjectScan::AdoptParsed(TUnit& unit, const TParsedAhead& parsed) {
    fs::SetCurrentDir(fs::ExtractFileDir(unit.FileName));
    for (const std::exception_ptr& failure : parsed.StepErrors) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            if (UnitErrorHook)
                UnitErrorHook(unit, e);
        }
    }
    if (parsed.ParseError)
        std::rethrow_exception(parsed.ParseError);
}

void ProjectScan::PrefetchUses(const TUnit& unit) {
    if (!FPrefetch)
        return;
    std::vector<std::string> files;
    for (int i = 0; i < unit.Uses.Count(); ++i) {
        const std::string& name = unit.Uses[i];
        // A name is looked up once: most are used by many units.
        if (!FPrefetchAsked.insert(UpperFoldText(name)).second || IsIgnored(name) || FindUnit(name))
            continue;
        if (std::string file = FLookup.PeekUnitFile(name, FProject); !file.empty())
            files.push_back(std::move(file));
    }
    FPrefetch->Request(files);
}

std::string ProjectScan::FindUnitFile(const std::string& unitName) {
    return FLookup.FindUnitFile(unitName, FProject);
}

bool ProjectScan::IsIgnored(const std::string& name) const {
    return FLookup.IsIgnored(name, FProject,
                             [this](const std::string& n) { return IgnUnits.IsIgnored(n); });
}

TUnit* ProjectScan::FindUnit(const std::string& name) const {
    int i = 0;
    return FUnits.Find(name, i) ? FUnits.Objects(i).get() : nullptr;
}

TUnit* ProjectScan::FindUsedUnit(const std::string& name) const {
    if (TUnit* unit = FindUnit(name))
        return unit;
    const std::string& resolved = ResolvedName(name);
    return resolved == name ? nullptr : FindUnit(resolved);
}

std::int64_t ProjectScan::UnitSize(const std::string& name) const {
    int i = 0;
    return FUnitSizes.Find(name, i) ? FUnitSizes.Objects(i) : 0;
}

std::unique_ptr<TUnit> ProjectScan::ExtractUnit(TUnit* unit) {
    if (!unit)
        return nullptr;
    if (unit == FProject)
        throw EWarning("Cannot remove the project's main unit!");
    for (int i = 0; i < FUnits.Count(); ++i) {
        if (FUnits.Objects(i).get() != unit)
            continue;
        int size = 0;
        if (FUnitSizes.Find(unit->UnitName, size))
            FUnitSizes.Delete(size);
        return FUnits.Extract(i);
    }
    return nullptr;
}

void ProjectScan::RemoveUnit(TUnit* unit) {
    std::unique_ptr<TUnit> record = ExtractUnit(unit);
    if (record && FBusy)
        FRetired.push_back(std::move(record));
}

} // namespace ut
