#pragma once
// The compilers a project may be read for: Delphi and Free Pascal. The choice decides the
// symbols and constants every source starts with and the file names a unit may have.
#include <optional>
#include <string>
#include <vector>

namespace ut {

enum class TCompiler { Delphi, FreePascal };

/// The name used on the command line and in the JSON result: "delphi" or "fpc".
std::string CompilerName(TCompiler compiler);
/// The compiler of a name given by CompilerName (any letter case); nullopt for others.
std::optional<TCompiler> CompilerOfName(const std::string& name);

struct TCompilerChoice {
    TCompiler Compiler;
    const char* Label; ///< what a front end shows: "Delphi", "Free Pascal"
};
/// The compilers a front end offers, the default first.
const std::vector<TCompilerChoice>& CompilerChoices();

/// Lazarus projects and packages (.lpr, .lpi, .lpk) are built by Free Pascal.
bool IsFreePascalProject(const std::string& projectFile);

/// Extensions of unit sources, in the order they are looked for within a directory.
const std::vector<std::string>& UnitFileExtensions(TCompiler compiler);

} // namespace ut
