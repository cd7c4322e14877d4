// The scan of a Lazarus project or package: its file gives the inputs, the main source or
// the package's unit list, and chooses Free Pascal.
#include "scan/ProjectScan.h"

#include "config/FpcTarget.h"
#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>

namespace ut {

void ProjectScan::ReadLazarusOptions() {
    FOptionsRead = false;
    FOptionsNotes.clear();
    // A Lazarus project's build modes take the place of a .dproj's configurations.
    const std::string platform = TargetPlatform();
    FConfig.clear();
    FPlatform.clear();
    FConfigs.clear();
    FPlatforms.clear();
    if (TargetPlatform() != platform)
        LoadCompilerSettings();
    if (Inputs.Project.empty() || !fs::FileExists(Inputs.Project))
        return;
    if (Inputs.Compiler != TCompiler::FreePascal)
        FCompilerFromProject = true;
    // Free Pascal's library, never a Delphi installation's.
    SetCompiler(TCompiler::FreePascal);
    TLazarusOptions options;
    bool read = false;
    try {
        std::vector<std::string> packageDirs;
        SplitToList(Inputs.PackagePath, ";", packageDirs);
        packageDirs.erase(std::remove_if(packageDirs.begin(), packageDirs.end(),
                                         [](const std::string& d) { return Trim(d).empty(); }),
                          packageDirs.end());
        read = ut::ReadLazarusOptions(Inputs.Project, Inputs.BuildMode, InstalledFpcTarget(),
                                      options, packageDirs);
    } catch (const EParserError& e) {
        // A program source can be scanned without its project file; a project or package
        // file that cannot be read leaves nothing to scan.
        if (IndexOfExt(Inputs.Project, {".lpr"}) != 0)
            throw;
        // Said once: a scan reads the options again while they have not been read.
        if (FLazarusWarning != e.what())
            FFrontEnd.Warning(e.what());
        FLazarusWarning = e.what();
    }
    if (read) {
        Inputs.SearchPath = options.SearchPath;
        Inputs.Defines = options.Defines;
        Inputs.IncludePath = options.IncludePath;
        Inputs.Mode = options.SyntaxMode;
        FOptionsNotes = options.Notes;
        FMapFileName.clear(); // the linker's map of a Free Pascal build is not read
        FExeName = options.ExeName;
        FConfig = options.BuildMode;
        FConfigs = options.BuildModes;
        FLazarus = std::move(options);
        FOptionsRead = true;
    }
    FFrontEnd.InputsChanged();
    if (read)
        FFrontEnd.SetExeName(FExeName);
}

std::unique_ptr<TProject> ProjectScan::CreateProject(const std::string& fullName) const {
    if (FLazarus && !FLazarus->PackageName.empty()) {
        std::vector<std::pair<std::string, std::string>> units;
        for (const TLazarusFile::Unit& u : FLazarus->PackageUnits)
            units.emplace_back(u.Name, u.File);
        return TProject::FromUnitList(fullName, FLazarus->PackageName, units);
    }
    if (FLazarus && !FLazarus->MainSource.empty())
        return std::make_unique<TProject>(FLazarus->MainSource);
    return std::make_unique<TProject>(fullName);
}

} // namespace ut
