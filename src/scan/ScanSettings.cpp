// The scan's inputs: the project's options file, the compiler installation's settings and
// the index of the search directories that the walk looks unit files up in.
#include "scan/ProjectScan.h"

#include "config/CompilerSettings.h"
#include "config/ProjectOptions.h"
#include "config/SearchIndex.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/ScanSymbols.h"
#include "support/Textutil.h"

namespace ut {

namespace {

// Said in the log instead of the warning about an unknown version, which would name none.
constexpr const char* NoDelphiInstallation =
    "No Delphi installation found and no version named: the sources are read with WIN32 "
    "defined and no VERnnn symbol. Name an installation by a registry export (UNITRACE_REGISTRY, "
    "--registry FILE) "
    "or a Wine prefix (WINEPREFIX), or a version (\"Delphi version\", --delphi VERSION) and "
    "its library path";

} // namespace

void ProjectScan::LoadProjectOptions() {
    FFrontEnd.MapViewOutdated();
    FLazarus.reset();
    if (IsFreePascalProject(Inputs.Project)) {
        ReadLazarusOptions();
        return;
    }
    if (FCompilerFromProject) {
        FCompilerFromProject = false;
        SetCompiler(TCompiler::Delphi);
    }
    const TProjectOptions options = ProjectOptionsOf(
        Inputs.Project, TOptionsChoice{Inputs.Delphi, Inputs.Config, Inputs.Platform, FDelphiRoot});
    FOptionsRead = options.FOptionsRead;
    FOptionsNotes = options.Notes;
    FProjectSource = options.MainSource;
    const std::string platform = TargetPlatform();
    FConfig = options.Config;
    FPlatform = options.Platform;
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
        Inputs.LibPath.clear();
        Inputs.BrowsePath.clear();
        FDelphiRoot.clear();
        FCompilerNotes.clear();
        FFrontEnd.InputsChanged();
        return;
    }
    if (!FRegistry)
        return;
    const TVersionSettings settings =
        ReadVersionSettings(*FRegistry, Inputs.Delphi, TargetPlatform());
    settings.ApplyTo(Inputs.LibPath, Inputs.BrowsePath, FDelphiRoot);
    FCompilerNotes = settings.Notes;
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
        FVersionNotes.push_back(NoDelphiInstallation);
        return "WIN32";
    }
    return ut::VersionDefines(Inputs.Delphi, Inputs.Defines, FWarned, FFrontEnd, TargetPlatform());
}

void ProjectScan::BuildSearchIndex() {
    const bool fpc = Inputs.Compiler == TCompiler::FreePascal;
    const TFpcTarget target = fpc ? InstalledFpcTarget() : TFpcTarget{};
    TSearchInputs in;
    in.VersionDefines = fpc ? FpcSymbolText(target) : VersionDefines();
    in.UnitExtensions = UnitFileExtensions(Inputs.Compiler);
    in.Defines = Inputs.Defines;
    in.SearchPath = Inputs.SearchPath;
    in.LibPath = Inputs.LibPath;
    in.BrowsePath = Inputs.BrowsePath;
    in.BrowseAlso = Inputs.BrowseAlso;
    in.DelphiRoot = FDelphiRoot;
    FListedDirectories = ut::BuildSearchIndex(in, FDefines, FUnitFiles, [this] { CheckAbort(); });
    FDelphiRootDir = FDelphiRoot.empty() ? std::string() : fs::ExpandFileName(FDelphiRoot);
    FLookup.Reindex();
    FLookup.SetScopes(Inputs.UnitScopes);
    FSymbols = BuildScanSymbols(Inputs.Compiler, Inputs.Delphi, target, FDefines);
    FIncludeDirs = IncludeDirectories(Inputs.IncludePath);
}

} // namespace ut
