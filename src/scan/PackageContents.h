#pragma once
// The packages around a finished scan and the units each contains: a .dpk's contains list,
// a .lpk's unit files. The views group units by them.
#include <string>
#include <vector>

namespace ut {

class ProjectScan;

/// A package and the keys of the units it contains.
struct PackageContents {
    std::string Name;
    std::string FileName; ///< the package file; empty for one not read from a file
    std::vector<std::string> Units;
};

/// The project's package (a .dpk or .lpk project), a Lazarus project's required packages,
/// then every .dpk and .lpk file of the project's directory and of the directories the scan
/// listed, in that order, each file once. A .dpk is read with the scan's symbols; a package file
/// that cannot be read is left out.
std::vector<PackageContents> FindPackages(const ProjectScan& scan);

} // namespace ut
