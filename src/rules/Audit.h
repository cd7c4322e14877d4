#pragma once
// The audit of a finished scan's search order and packages: what makes the compiler take
// another file than the one meant. Each kind of finding has a name that --fail-on takes.
#include <string>
#include <vector>

namespace ut {
class ProjectScan;
}

namespace ut::rules {

/// A unit whose name more than one file of the search order has.
struct ShadowedUnit {
    std::string Unit;
    std::string Used;                ///< the copy that wins: the one the scan read
    std::vector<std::string> Hidden; ///< the others, in the search order
};

/// A search, library or browsing path entry that names no directory here.
struct MissingPath {
    std::string List;  ///< "search path", "library path", "browsing path"
    std::string Entry; ///< as the path writes it
    std::string Directory;
};

/// A unit that two packages of the scan contain (the project and those it requires).
struct PackageOverlap {
    std::string Unit;
    std::vector<std::string> Packages;
};

/// A project's `in` file that lies outside the project's directory tree.
struct OutsideInFile {
    std::string Unit, File;
};

/// A library path directory that holds both sources and compiled units, not of the same
/// names: compiled units that may be stale, or sources that are never compiled there.
struct MismatchedLibrary {
    std::string Directory;
    std::vector<std::string> SourcesOnly, CompiledOnly;
};

struct AuditReport {
    std::vector<ShadowedUnit> Shadowed;
    std::vector<MissingPath> Missing;
    std::vector<PackageOverlap> Packages;
    std::vector<OutsideInFile> OutsideIn;
    std::vector<MismatchedLibrary> Mismatched;
    /// What could not be audited (a required package whose source failed to parse).
    std::vector<std::string> Notes;
};

/// The names of the kinds of finding, in the order the report lists them.
inline constexpr const char* AuditNames[] = {"shadowed-units", "missing-paths", "package-overlap",
                                             "outside-in-files", "mismatched-library-units"};

AuditReport AuditScan(const ProjectScan& scan);

// The parts of AuditScan.
void AuditSearchPaths(const ProjectScan& scan, AuditReport& report);
void AuditPackages(const ProjectScan& scan, AuditReport& report);

} // namespace ut::rules
