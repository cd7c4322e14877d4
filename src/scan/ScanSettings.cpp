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
        Inputs.Compiler = TCompiler::Delphi;
        FCompilerFromProject = false;
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
    FSymbols = BuildScanSymbols(Inputs.Compiler, Inputs.Delphi, target, FDefines, TargetPlatform());
    FIncludeDirs = IncludeDirectories(Inputs.IncludePath);
}

} // namespace ut
