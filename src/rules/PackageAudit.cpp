#include "platform/FileSystem.h"
#include "rules/Audit.h"
#include "scan/ProjectScan.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <map>
#include <memory>
#include <unordered_set>

namespace ut::rules {

namespace {

struct PackageUnits {
    std::string Name;
    std::vector<std::string> Contains;
};

// The source of a required package: "<name>.dpk" in the first listed directory that has it.
std::string PackageSource(const ProjectScan& scan, const std::string& name) {
    for (const std::string& dir : scan.FListedDirectories)
        if (const std::string file = fs::IncludeTrailingPathDelimiter(dir) + name + ".dpk";
            fs::FileExists(file))
            return fs::ExpandFileName(file);
    return {};
}

// The project's package and every package it requires, directly or not, whose source the
// search order holds; each once, breadth first.
std::vector<PackageUnits> ScanPackages(const ProjectScan& scan, std::vector<std::string>& notes) {
    std::vector<PackageUnits> packages;
    std::vector<std::string> pending(scan.FProject->Requires);
    packages.push_back({scan.FProject->UnitName, scan.FProject->Uses.ToVector()});
    std::unordered_set<std::string> seen{UpperFoldText(scan.FProject->UnitName)};
    for (size_t next = 0; next < pending.size(); ++next) {
        const std::string name = pending[next];
        if (!seen.insert(UpperFoldText(name)).second)
            continue;
        const std::string file = PackageSource(scan, name);
        if (file.empty())
            continue; // a compiled package only: nothing to compare
        try {
            TUnit package(file);
            package.SetSymbols(scan.FSymbols);
            package.ErrorHook = [&](TUnit&, const std::exception& e) {
                if (!dynamic_cast<const EAbort*>(&e))
                    notes.push_back("package " + name + ": " + e.what());
            };
            package.ParseSource();
            if (package.Kind != ukPackage)
                continue;
            packages.push_back({package.UnitName, package.Uses.ToVector()});
            pending.insert(pending.end(), package.Requires.begin(), package.Requires.end());
        } catch (const std::exception& e) {
            notes.push_back("package " + name + ": " + e.what());
        }
    }
    return packages;
}

} // namespace

void AuditPackages(const ProjectScan& scan, AuditReport& report) {
    if (!scan.FProject)
        return;
    if (scan.FProject->Kind == ukPackage) {
        std::map<std::string, PackageOverlap> holders; // by folded unit name
        for (const PackageUnits& p : ScanPackages(scan, report.Notes))
            for (const std::string& unit : p.Contains) {
                PackageOverlap& o = holders[UpperFoldText(unit)];
                if (o.Unit.empty())
                    o.Unit = unit;
                if (o.Packages.empty() || o.Packages.back() != p.Name)
                    o.Packages.push_back(p.Name);
            }
        for (auto& [key, overlap] : holders)
            if (overlap.Packages.size() > 1)
                report.Packages.push_back(std::move(overlap));
    }
    // The project's tree: its directory and below.
    const std::string& dir = scan.FProjectDir;
    const TProject& project = *scan.FProject;
    std::unordered_set<std::string> seen;
    for (int k = 0; k < project.Uses.Count() && !dir.empty(); ++k) {
        const std::string file = project.GetInFile(project.Uses[k]);
        if (!file.empty() && seen.insert(UpperFoldText(project.Uses[k])).second &&
            !(file.size() > dir.size() && SameTextN(file, dir, dir.size())))
            report.OutsideIn.push_back({project.Uses[k], file});
    }
}

} // namespace ut::rules
