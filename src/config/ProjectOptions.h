#pragma once
// The project options file beside a program or package source: the ".dproj" of the
// compilers since Delphi 2007, else the older ".DOF". From it: the search path, the
// conditionals, the unit scope names, and the map file and output file paths derived from
// its output directory. The functions return what the Setup page shows; they keep no state.
#include "config/IdeEnvironment.h"

#include <string>
#include <vector>

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

    // Read from a .dproj only (empty for a .DOF):
    std::string OptionsFile; ///< full path of the file read
    /// Full path of the project source when the project named is a .dproj (its MainSource,
    /// else the .dpr or .dpk of its base name beside it); set even when the file is unusable.
    std::string MainSource;
    std::string UnitScopes;              ///< DCC_Namespace, ';'-separated
    std::vector<std::string> References; ///< full paths of the DCCReference units
    std::string Config;                  ///< the configuration in force
    std::string Platform;                ///< the platform in force
    std::vector<std::string> Configs;    ///< the configurations the file offers
    std::vector<std::string> Platforms;  ///< the platforms the file offers
    /// What could not be read or was not as asked, one log line each.
    std::vector<std::string> Notes;
    /// Variables the .dproj's search path named that nothing sets.
    std::vector<std::string> UnknownVariables;
};

/// What the options depend on besides the project file.
struct TOptionsChoice {
    std::string DelphiVersion;  ///< the compiler version text (a package's output extension)
    std::string Config;         ///< a .dproj's configuration; empty for the file's default
    std::string Platform;       ///< a .dproj's platform; empty for the file's default
    std::string BdsRoot;        ///< the installation's root, $(BDS) in a .dproj
    VariableLookup Environment; ///< the IDE's environment variables, for a .dproj
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

/// Reads a .dproj for the project source `sourceFile` (empty: the .dproj is the project,
/// and its main source is looked for). Makes its directory the current directory. A file
/// that is not a project file reads nothing but a note.
TProjectOptions ReadDprojOptions(const std::string& dprojName, const TOptionsChoice& choice,
                                 const std::string& sourceFile = {});

/// The options of the project named in the project box: read only when the file exists and
/// is a ".dpr", ".dpk" or ".dproj" file (any letter case). A source's options file has the
/// same base name: the ".dproj" when there is one and it can be read, else the ".DOF".
TProjectOptions ProjectOptionsOf(const std::string& projectFile, const TOptionsChoice& choice);
TProjectOptions ProjectOptionsOf(const std::string& projectFile, const std::string& delphiVersion);

} // namespace ut
