#pragma once
// The project options file (".DOF") beside a program or package source: the search path,
// the conditionals, and the map file and output file paths derived from its output
// directory. The functions return what the Setup page shows; they keep no state.
#include <string>

namespace ut {

/// What reading an options file yields. When `FOptionsRead` is false nothing was read and
/// the caller keeps its previous texts, map file and output file.
struct TProjectOptions {
    bool FOptionsRead = false;
    std::string SearchPath;   ///< "SearchPath", verbatim (macros are expanded later)
    std::string Conditionals; ///< "Conditionals", verbatim
    std::string MapFileName;  ///< full path of the linker's map file
    std::string ExeName;      ///< full path of the produced executable or package
    std::string ProjectDir;   ///< the options file's directory, made current while reading
};

inline constexpr const char* OptionsSection = "Directories";

/// Extension of the file a project produces: ".EXE" for a program, ".BPL" for a package,
/// ".DPL" for a package of a compiler version whose major number is below 4. The major
/// number is the text before the first '.', taken as 5 when it is no integer; an empty
/// version text gives ".BPL".
std::string OutputExtension(const std::string& projectExt, const std::string& delphiVersion);

/// Reads `dofName` for a project whose source has the extension `projectExt` (with its
/// dot). Makes the options file's directory the current directory, so that relative
/// directories resolve against the project. A missing file reads nothing. A directory
/// that cannot be made current throws EInOutError.
TProjectOptions ReadProjectOptions(const std::string& dofName, const std::string& projectExt,
                                   const std::string& delphiVersion);

/// The options of the project named in the project box: read only when the file exists and
/// is a ".dpr" or ".dpk" source (any letter case); its options file has the same base name
/// and the extension ".DOF".
TProjectOptions ProjectOptionsOf(const std::string& projectFile, const std::string& delphiVersion);

} // namespace ut
