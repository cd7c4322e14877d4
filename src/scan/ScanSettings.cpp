// The scan's inputs: the project's options file, the compiler installation's settings and
// the index of the search directories that the walk looks unit files up in.
#include "scan/ProjectScan.h"

#include "config/CompilerSettings.h"
#include "config/IdeEnvironment.h"
#include "config/ProjectOptions.h"
#include "config/SearchIndex.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/ScanSymbols.h"
#include "support/Textutil.h"

#include <unordered_set>

namespace ut {

void ProjectScan::LoadProjectOptions() {
    FFrontEnd.MapViewOutdated();
    FLazarus.reset();
    FOptionsUnknown.clear();
    if (IsFreePascalProject(Inputs.Project)) {
        ReadLazarusOptions();
        return;
    }
    if (FCompilerFromProject) {
        Inputs.Mode.clear();
        FCompilerFromProject = false;
        SetCompiler(TCompiler::Delphi);
    }
    const TIdeEnvironment environment(FRegistry, Inputs.Delphi);
    const TProjectOptions options = ProjectOptionsOf(
        Inputs.Project, TOptionsChoice{Inputs.Delphi, Inputs.Config, Inputs.Platform, FDelphiRoot,
                                       environment.Lookup()});
    FOptionsRead = options.FOptionsRead;
    FOptionsNotes = options.Notes;
    FOptionsUnknown = options.UnknownVariables;
    FProjectSource = options.MainSource;
    const std::string platform = TargetPlatform();
    FConfig = options.Config;
    // Without a .dproj that names one, the platform asked for is the version's.
    FPlatform = options.Platform.empty() ? PlatformOfVersion(Inputs.Delphi, Inputs.Platform)
                                         : options.Platform;
    if (options.Platform.empty() && !Inputs.Platform.empty() && FPlatform.empty())
        FOptionsNotes.push_back(UnknownPlatformMessage(Inputs.Delphi, Inputs.Platform) +
                                "; Win32 is used");
    FConfigs = options.Configs;
    FPlatforms = options.Platforms;
    FLookup.SetReferences(options.References);
    // The installation keeps a library path per platform.
    if (TargetPlatform() != platform)
        LoadCompilerSettings();
    if (!options.FOptionsRead)
        return;
    Inputs.SearchPath = options.SearchPath;
    Inputs.Defines = options.Conditionals;
    Inputs.UnitScopes = options.UnitScopes;
    FMapFileName = options.MapFileName;
    FExeName = options.ExeName;
    FFrontEnd.InputsChanged();
    FFrontEnd.SetExeName(FExeName);
}

void ProjectScan::SelectInstalledVersion() {
    if (!FRegistry)
        return;
    if (const auto version = ut::SelectInstalledVersion(*FRegistry)) {
        Inputs.Delphi = *version;
        LoadCompilerSettings();
    }
}

void ProjectScan::LoadCompilerSettings() {
    if (Inputs.Compiler == TCompiler::FreePascal) {
        if (!FDelphiLibrary)
            return;
        FDelphiLibrary = false;
        FFromRegistry = {};
        Inputs.LibPath.clear();
        Inputs.BrowsePath.clear();
        FDelphiRoot.clear();
        FCompilerNotes.clear();
        FFrontEnd.InputsChanged();
        return;
    }
    if (!FRegistry)
        return;
    TVersionSettings settings = ReadVersionSettings(*FRegistry, Inputs.Delphi, TargetPlatform());
    FCompilerNotes = settings.Notes;
    if (const std::string note = NotInstalledMessage(*FRegistry, Inputs.Delphi); !note.empty()) {
        // Another version's paths must not stand in for this one's.
        if (Inputs.LibPath == FFromRegistry.LibPath)
            settings.LibPath = "";
        if (Inputs.BrowsePath == FFromRegistry.BrowsePath)
            settings.BrowsePath = "";
        if (FDelphiRoot == FFromRegistry.Root)
            settings.DelphiRoot = "";
        FCompilerNotes.push_back(note);
    }
    settings.ApplyTo(Inputs.LibPath, Inputs.BrowsePath, FDelphiRoot);
    settings.ApplyTo(FFromRegistry.LibPath, FFromRegistry.BrowsePath, FFromRegistry.Root);
    FDelphiLibrary = true;
    FFrontEnd.InputsChanged();
}

void ProjectScan::SetCompiler(TCompiler compiler) {
    const bool changed = Inputs.Compiler != compiler;
    Inputs.Compiler = compiler;
    // Free Pascal lets go of a Delphi library read before; Delphi reads its own again.
    if (changed || compiler == TCompiler::FreePascal)
        LoadCompilerSettings();
}

std::string ProjectScan::VersionDefines() {
    FVersionNotes.clear();
    if (Trim(Inputs.Delphi).empty() && !NamesVersionSymbol(Inputs.Defines) &&
        (!FRegistry || InstalledVersions(*FRegistry).empty())) {
        // One line in the log.
        std::string note = NoInstallationMessage();
        if (const size_t end = note.find("\r\n"); end != std::string::npos)
            note.replace(end, 2, " ");
        FVersionNotes.push_back(note);
        return "WIN32";
    }
    return ut::VersionDefines(Inputs.Delphi, Inputs.Defines, FWarned, FFrontEnd, TargetPlatform());
}

namespace {

// The directory of a path list entry as the search index lists it.
std::string ListedForm(const std::string& dir) {
    return fs::IncludeTrailingPathDelimiter(fs::ExpandFileName(dir));
}

std::vector<std::string> PathEntries(const std::string& list) {
    std::vector<std::string> pieces, entries;
    SplitToList(list, ";", pieces);
    for (const std::string& piece : pieces)
        if (std::string entry = Trim(piece); !entry.empty())
            entries.push_back(std::move(entry));
    return entries;
}

} // namespace

void ProjectScan::BuildSearchIndex() {
    const bool fpc = Inputs.Compiler == TCompiler::FreePascal;
    const TFpcTarget target = !fpc       ? TFpcTarget{}
                              : FLazarus ? FLazarus->Target
                                         : InstalledFpcTarget();
    const TSyntaxMode mode =
        !fpc ? TSyntaxMode::None : SyntaxModeOfName(Inputs.Mode).value_or(TSyntaxMode::Fpc);
    TSearchInputs in;
    in.VersionDefines = fpc ? FpcSymbolText(target, mode) : VersionDefines();
    in.UnitExtensions = UnitFileExtensions(Inputs.Compiler);
    in.Defines = Inputs.Defines;
    in.SearchPath = Inputs.SearchPath;
    if (FLazarus)
        for (const TLazarusPackage& p : FLazarus->Packages)
            in.PackagePath += p.SearchPath + ";" + PackageUnitDirs(p) + ";";
    in.LibPath = Inputs.LibPath;
    in.BrowsePath = Inputs.BrowsePath;
    in.BrowseAlso = Inputs.BrowseAlso;
    in.DelphiRoot = FDelphiRoot;
    // The IDE's variables in the paths of a Delphi project: the installation's own, then
    // the environment's.
    const TIdeEnvironment environment(FRegistry, Inputs.Delphi);
    const std::string root = fs::ExcludeTrailingPathDelimiter(FDelphiRoot);
    TPathVariables variables;
    if (!fpc) {
        variables.Unknown = FOptionsUnknown;
        variables.Lookup = [&](const std::string& name) -> std::optional<std::string> {
            if (SameText(name, "Platform"))
                return TargetPlatform();
            if (!root.empty() && SameText(name, "BDS"))
                return root;
            if (!root.empty() && SameText(name, "BDSLIB"))
                return root + "\\lib";
            return environment.Value(name);
        };
    }
    FListedDirectories = ut::BuildSearchIndex(
        in, FDefines, FUnitFiles, [this] { CheckAbort(); }, &variables);
    FVariableNotes.clear();
    for (const std::string& name : variables.Unknown)
        FVariableNotes.push_back(UnknownVariableMessage(name, environment.KeyName()));
    FDelphiRootDir = FDelphiRoot.empty() ? std::string() : fs::ExpandFileName(FDelphiRoot);
    FLookup.Reindex();
    FLookup.SetScopes(Inputs.UnitScopes);
    FSymbols =
        BuildScanSymbols(Inputs.Compiler, Inputs.Delphi, target, FDefines, mode, TargetPlatform());
    FFpcTarget = target;
    // An include file is looked for beside the including file, in the current directory
    // (the project's), then in the include path; Delphi's IDE gives the compiler the
    // search and library paths as its include path.
    std::string includePath = ".;" + Inputs.IncludePath;
    if (!fpc)
        includePath += ";" + Inputs.SearchPath + ";" + Inputs.LibPath;
    FIncludeDirs = IncludeDirectories(includePath);
    BuildParseContexts(target);
}

std::string ProjectScan::PackageUnitDirs(const TLazarusPackage& package) {
    // Lazarus compiles a package with the directories of its files on its unit path.
    std::string dirs;
    for (const TLazarusFile::Unit& u : package.Units)
        dirs += fs::ExtractFilePath(u.File) + ";";
    return dirs;
}

void ProjectScan::BuildParseContexts(const TFpcTarget& target) {
    FContexts = std::make_shared<TParseContexts>();
    FContexts->Project = {FSymbols, FIncludeDirs};
    if (!FLazarus)
        return;
    std::unordered_set<std::string> own;
    for (const std::string& dir : PathEntries(".;" + Inputs.SearchPath))
        own.insert(ListedForm(dir));
    for (const TLazarusPackage& p : FLazarus->Packages) {
        const TSyntaxMode mode = SyntaxModeOfName(p.SyntaxMode).value_or(TSyntaxMode::ObjFpc);
        std::vector<std::string> defines = PathEntries(FpcSymbolText(target, mode));
        defines.insert(defines.end(), p.Defines.begin(), p.Defines.end());
        const std::string dir = fs::ExtractFilePath(p.File);
        const TParseContext context{
            BuildScanSymbols(TCompiler::FreePascal, "", target, defines, mode),
            IncludeDirectories(dir + ";" + p.IncludePath)};
        for (const std::string& entry : PathEntries(p.SearchPath + ";" + PackageUnitDirs(p)))
            if (const std::string listed = ListedForm(entry); !own.count(listed))
                FContexts->Packages.emplace(listed, context); // the first package keeps it
    }
}

} // namespace ut
