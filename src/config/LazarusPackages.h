#pragma once
// The packages a Lazarus project or package requires, found and read transitively: where
// each compiles its units and what it adds to the paths of those that require it.
#include "config/LazarusProject.h"

#include <string>
#include <vector>

namespace ut {

/// What requiring the packages adds to the requirer's compiler options: the packages'
/// usage paths, ';'-separated full paths.
struct TPackageUsage {
    std::string UnitPath, IncludePath;
};

/// The packages `file` (read from `fileName`) requires and those they require, each once by
/// name, in the order first met. A package is looked for as its DefaultFilename names it
/// (beside the requiring file), else as NAME.lpk below the `packageDirs`, then below the
/// directory of `fileName`. One not found or not readable, and a macro not known, gives
/// one line in `notes`. Adds the packages' usage paths to `usage`.
std::vector<TLazarusPackage> ReadRequiredPackages(const TLazarusFile& file,
                                                  const std::string& fileName,
                                                  const std::vector<std::string>& packageDirs,
                                                  const TFpcTarget& target, TPackageUsage& usage,
                                                  std::vector<std::string>& notes);

/// The ';'-separated `paths`, each taken against `dir` when relative, as full paths.
std::string FullPathList(const std::string& dir, const std::string& paths);

/// A note for each macro of `file` not yet in `notes`.
void NoteUnknownMacros(const TLazarusFile& file, const std::string& fileName,
                       std::vector<std::string>& notes);

} // namespace ut
