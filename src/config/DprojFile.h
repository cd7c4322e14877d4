#pragma once
// A Delphi project file (.dproj, MSBuild XML) read as MSBuild evaluates it for one build
// configuration and platform: the PropertyGroups in document order, each kept when its
// condition holds, every value expanded against the properties set before it; then the
// DCCReference items. What the file offers (its configurations and platforms) is read too.
#include "config/IdeEnvironment.h"

#include <string>
#include <string_view>
#include <vector>

namespace ut {

struct TDprojChoice {
    std::string Config;   ///< empty for the file's default
    std::string Platform; ///< empty for the file's default
    std::string BdsRoot;  ///< the installation's root directory, $(BDS); empty when unknown
    /// The IDE's environment variables, read for names no property holds; none when empty.
    VariableLookup Environment;
};

struct TDprojSettings {
    bool Read = false;                   ///< the file is XML with a <Project> element
    std::string Config;                  ///< in force
    std::string Platform;                ///< in force
    std::vector<std::string> Configs;    ///< the file's configurations (not "Base"), in order
    std::vector<std::string> Platforms;  ///< the file's enabled platforms, in order
    std::string MainSource;              ///< as written: relative to the file's directory
    std::string AppType;                 ///< "Application", "Library", "Package", ...
    std::string UnitSearchPath;          ///< DCC_UnitSearchPath
    std::string Defines;                 ///< DCC_Define
    std::string UnitScopes;              ///< DCC_Namespace
    std::string ExeOutput;               ///< DCC_ExeOutput
    std::string DcuOutput;               ///< DCC_DcuOutput
    std::string BplOutput;               ///< DCC_BplOutput
    std::string MapFile;                 ///< DCC_MapFile: empty or "0" when no map is written
    std::vector<std::string> References; ///< DCCReference files, as written
    /// Variables the search path named that neither the file nor the environment sets.
    std::vector<std::string> UnknownVariables;
    std::vector<std::string> Notes; ///< what could not be read, one log line each
};

/// Reads the text of a .dproj; `fileName` names it in the notes and gives $(ProjectName).
TDprojSettings ReadDprojText(std::string_view xml, const std::string& fileName,
                             const TDprojChoice& choice);

/// Reads the file; a file that cannot be read gives a note.
TDprojSettings ReadDproj(const std::string& fileName, const TDprojChoice& choice);

} // namespace ut
