#include "scan/PackageContents.h"

#include "config/FpcTarget.h"
#include "config/LazarusProject.h"
#include "platform/FileSystem.h"
#include "scan/ProjectScan.h"
#include "support/Textutil.h"

#include <exception>

namespace ut {

namespace {

// The contains list of a .dpk, read as the scan read its sources; false when the file is
// not a package or cannot be read.
bool ReadDpk(const ProjectScan& scan, const std::string& file, PackageContents& package) {
    try {
        TProject source(file);
        source.SetSymbols(scan.FSymbols);
        source.ErrorHook = [](TUnit&, const std::exception&) {};
        source.ParseSource();
        if (source.Kind != ukPackage)
            return false;
        package.Name = source.UnitName;
        for (int i = 0; i < source.Uses.Count(); ++i)
            package.Units.push_back(source.Uses[i]);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool ReadLpk(const std::string& file, PackageContents& package) {
    try {
        TLazarusOptions options;
        ReadLazarusOptions(file, "", InstalledFpcTarget(), options);
        package.Name = options.PackageName;
        for (const TLazarusFile::Unit& unit : options.PackageUnits)
            package.Units.push_back(unit.Name.empty() ? fs::FileKey(unit.File) : unit.Name);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

std::vector<PackageContents> FindPackages(const ProjectScan& scan) {
    std::vector<PackageContents> packages;
    std::vector<std::string> seen;
    auto add = [&](const std::string& file) {
        for (const std::string& s : seen)
            if (fs::SamePath(s, file))
                return;
        seen.push_back(file);
        PackageContents package;
        package.FileName = file;
        const bool read = SameText(ExtractFileExt(file), ".lpk") ? ReadLpk(file, package)
                                                                 : ReadDpk(scan, file, package);
        if (read)
            packages.push_back(std::move(package));
    };
    if (const TProject* project = scan.FProject; project && project->Kind == ukPackage) {
        // The record the scan made holds the list as the scan read it.
        PackageContents package{project->UnitName, project->FileName, {}};
        for (int i = 0; i < project->Uses.Count(); ++i)
            package.Units.push_back(scan.ResolvedName(project->Uses[i]));
        seen.push_back(scan.Inputs.Project);
        seen.push_back(project->FileName);
        packages.push_back(std::move(package));
    }
    // A Lazarus project's required packages, as the scan read them.
    if (const auto& lazarus = scan.LazarusOptions())
        for (const TLazarusPackage& required : lazarus->Packages) {
            seen.push_back(required.File);
            PackageContents package{required.Name, required.File, {}};
            for (const TLazarusFile::Unit& unit : required.Units)
                package.Units.push_back(unit.Name.empty() ? fs::FileKey(unit.File) : unit.Name);
            packages.push_back(std::move(package));
        }
    std::vector<std::string> dirs{scan.FProjectDir};
    dirs.insert(dirs.end(), scan.FListedDirectories.begin(), scan.FListedDirectories.end());
    for (const std::string& dir : dirs)
        for (const char* mask : {"*.dpk", "*.lpk"})
            for (const std::string& name : fs::ListFiles(dir, mask))
                add(fs::IncludeTrailingPathDelimiter(dir) + name);
    return packages;
}

} // namespace ut
