#pragma once
// The inputs every unit parse of a scan shares: the conditional symbols the parse starts
// with, and the index from unit name to source file built by listing every "*.pas" file
// of every search directory once.
#include "config/IdeEnvironment.h"
#include "support/DualStringList.h"
#include "support/StringList.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ut {

struct TSearchInputs {
    std::string VersionDefines; ///< the symbols of the compiler version ("VER130;WIN32")
    std::string Defines;        ///< the user's conditionals
    std::string SearchPath;     ///< the project's search path
    std::string LibPath;        ///< the installation's library path
    std::string BrowsePath;     ///< the installation's browsing path
    bool BrowseAlso = false;    ///< whether the browsing path is searched too
    std::string DelphiRoot;     ///< replaces "$(DELPHI)" in the paths
    /// Extensions of unit sources, in the order they are taken within a directory.
    std::vector<std::string> UnitExtensions = {".pas"};
    std::string PackagePath{}; ///< the directories of required packages (Lazarus)
};

/// The `$(NAME)` variables of search path entries: their values, and the names that had none
/// (an entry naming one is not listed).
struct TPathVariables {
    VariableLookup Lookup;
    std::vector<std::string> Unknown;
};

/// Fills `defines` with the version's symbols followed by the user's conditionals, each
/// trimmed (empty ones left out), and `unitFiles` with the unit files (UnitExtensions) of
/// ".", the search path, the package path, the library path and, when asked for, the
/// browsing path, in that
/// order; the first directory that holds a unit comes first. Relative directories resolve against
/// the current directory. Returns the directories listed, in order. `poll` is called before each
/// directory; what it throws (the abort of a scan) ends the build. With `variables`, the
/// variables of the entries are expanded (after "$(DELPHI)").
std::vector<std::string> BuildSearchIndex(const TSearchInputs& inputs,
                                          std::vector<std::string>& defines,
                                          TDualStringList& unitFiles,
                                          const std::function<void()>& poll = {},
                                          TPathVariables* variables = nullptr);

/// The directories of one build that have been listed, compared without regard to case.
class TListedDirectories {
  public:
    TListedDirectories();
    /// False when `dir` was added before.
    bool Add(const std::string& dir);
    const std::vector<std::string>& InOrder() const { return FOrder; }

  private:
    TStringList FSet;
    std::vector<std::string> FOrder;
};

/// A search path entry as it names its directory: trimmed, its first "$(DELPHI)" (any case)
/// replaced by `delphiRoot`.
std::string SearchPathEntry(std::string_view entry, const std::string& delphiRoot);

/// Adds the "*.pas" files (or those of `extensions`, all of the first extension before
/// those of the next) of every directory of the ';'-separated `pathList` that `listed`
/// does not hold yet: key the file name without its extension, dual the full path. The first
/// "$(DELPHI)" of an entry (any case) becomes `delphiRoot`. Entries that are empty after
/// trimming name no directory and are skipped; so are entries naming a variable that
/// `variables` (when given) does not know.
void AddUnitFiles(const std::string& pathList, const std::string& delphiRoot,
                  TListedDirectories& listed, TDualStringList& unitFiles,
                  const std::vector<std::string>& extensions = {".pas"},
                  const std::function<void()>& poll = {}, TPathVariables* variables = nullptr);

} // namespace ut
