// The scan's inputs: the project's options file, the compiler installation's settings and
// the index of the search directories that the walk looks unit files up in.
#include "scan/ProjectScan.h"

#include "config/CompilerSettings.h"
#include "config/ProjectOptions.h"
#include "config/SearchIndex.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "scan/ScanSymbols.h"

namespace ut {

void ProjectScan::LoadProjectOptions() {
    FFrontEnd.MapViewOutdated();
    FLazarus.reset();
    if (IsFreePascalProject(Inputs.Project)) {
        ReadLazarusOptions();
        return;
    }
    if (FCompilerFromProject) {
        Inputs.Compiler = TCompiler::Delphi;
        FCompilerFromProject = false;
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
    if (!FRegistry)
        return;
    const TVersionSettings settings =
        ReadVersionSettings(*FRegistry, Inputs.Delphi, TargetPlatform());
    settings.ApplyTo(Inputs.LibPath, Inputs.BrowsePath, FDelphiRoot);
    FCompilerNotes = settings.Notes;
    FFrontEnd.InputsChanged();
}

std::string ProjectScan::VersionDefines() {
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
