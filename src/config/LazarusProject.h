#pragma once
// Lazarus project (.lpi) and package (.lpk) files: XML written by the Lazarus IDE. They give
// a scan its main source (or, for a package, its units), the search path, the include path
// and the conditional symbols, for the default build mode or a chosen one.
#include "config/FpcTarget.h"

#include <string>
#include <string_view>
#include <vector>

namespace ut {

/// What one .lpi or .lpk file says, with paths as written there (macros expanded).
struct TLazarusFile {
    bool IsPackage = false;
    std::string Name;           ///< the package's name; empty for a project
    std::string MainUnit;       ///< .lpi: the main source's file name; empty when none is named
    std::string OtherUnitFiles; ///< the search path, ';'-separated
    std::string IncludeFiles;   ///< the include path, ';'-separated
    std::vector<std::string> Defines; ///< the -d options of the custom options
    std::string TargetFile;           ///< the file the build produces
    struct Unit {
        std::string Name;
        std::string File;
    };
    std::vector<Unit> Units;             ///< .lpk: the package's unit files
    std::vector<std::string> BuildModes; ///< .lpi: the build modes' names, in order
    std::string BuildMode; ///< .lpi: the build mode in force; empty when the file marks none
    /// The target built for: the compiler's, with the OS and CPU the options set.
    TFpcTarget Target;
    /// The syntax mode the compiler is given (-M), as written: the options', else
    /// Lazarus's default "ObjFPC".
    std::string SyntaxMode = "ObjFPC";
    struct Requirement {
        std::string Name;
        std::string DefaultFilename; ///< the .lpk the file names for it; empty when none
    };
    std::vector<Requirement> Required; ///< the required packages, in order
    /// .lpk: what a project that requires the package adds to its unit and include paths,
    /// ';'-separated full paths.
    std::string UsageUnitPath, UsageIncludePath;
    std::vector<std::string> UnknownMacros; ///< macros met that are not known, each once
};

/// Parses the text of a .lpi (`package` false) or .lpk file named `fileName`. `buildMode`
/// names the build mode whose options override the default ones; empty for the default.
/// The IDE's macros in paths become their values for the target the options build for
/// (`target` with their own TargetOS and TargetCPU). Touches no file. Throws
/// EParserError "Cannot read <file>: <reason>" for text that is not XML, lacks the
/// project's or package's element, or names a build mode the file does not have.
TLazarusFile ParseLazarusFile(std::string_view text, const std::string& fileName, bool package,
                              const std::string& buildMode, const TFpcTarget& target);

/// A path written in a Lazarus file, taken against the file's directory `dir` when it is
/// relative, as a full path; empty for an empty path.
std::string PathInLazarusFile(const std::string& dir, const std::string& path);

/// A package a project requires, as a scan reads its units: where the package compiles
/// them, with its own defines.
struct TLazarusPackage {
    std::string Name;
    std::string File;                      ///< the .lpk's full path
    std::vector<TLazarusFile::Unit> Units; ///< the package's unit files, full paths
    std::string SearchPath, IncludePath;   ///< ';'-separated full paths
    std::vector<std::string> Defines;
    std::string SyntaxMode = "ObjFPC"; ///< as TLazarusFile's
};

/// A Lazarus project's or package's options for a scan.
struct TLazarusOptions {
    std::string MainSource;  ///< full path of the source to scan; empty for a package
    std::string SearchPath;  ///< ';'-separated, relative to the file's directory
    std::string IncludePath; ///< ';'-separated, relative to the file's directory
    std::string Defines;     ///< ';'-separated
    std::string ExeName;     ///< full path of the file the build produces; empty when none
    std::string PackageName; ///< a package: its name
    /// A package: its units and their full paths.
    std::vector<TLazarusFile::Unit> PackageUnits;
    std::vector<std::string> BuildModes; ///< a project: its build modes' names
    std::string BuildMode;               ///< a project: the build mode in force
    TFpcTarget Target;                   ///< the target the options build for
    std::string SyntaxMode = "ObjFPC";   ///< as TLazarusFile's
    /// The packages the file requires, and those they require, each once.
    std::vector<TLazarusPackage> Packages;
    /// What the scan log says about the options: macros not known, packages not found.
    std::vector<std::string> Notes;
};

/// The options of a Lazarus project named by its .lpi or its .lpr (whose .lpi of the same
/// name lies beside it), or of a package named by its .lpk. False when a .lpr has no .lpi
/// beside it. A .lpi that names no main source takes the .lpr of its own name. Throws
/// EParserError as ParseLazarusFile, and when a .lpi has no main source.
/// The required packages are looked for as TLazarusPackage's reader says, with
/// `packageDirs`; their usage paths extend SearchPath and IncludePath.
bool ReadLazarusOptions(const std::string& projectFile, const std::string& buildMode,
                        const TFpcTarget& target, TLazarusOptions& options,
                        const std::vector<std::string>& packageDirs = {});

} // namespace ut
