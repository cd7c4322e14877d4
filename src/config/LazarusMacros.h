#pragma once
// The IDE macros of Lazarus project and package files: $(TargetOS), $(SrcOS),
// $(LCLWidgetType), $(ProjPath), $(PkgDir), ... and $Env(NAME), as the IDE expands them in
// search paths and file names before it passes them to the compiler.
#include "config/FpcTarget.h"

#include <map>
#include <string>
#include <vector>

namespace ut {

/// "unix" or "win" for the target's operating system (what $(SrcOS) gives); empty for
/// others.
std::string SrcOSOf(const std::string& targetOS);
/// "bsd" for the BSDs and Darwin, "amiga" for the Amiga family (what $(SrcOS2) gives).
std::string SrcOS2Of(const std::string& targetOS);
/// The widget set the IDE builds for the target by default: win32, cocoa, gtk2, ...
std::string DefaultWidgetType(const std::string& targetOS);

class TLazarusMacros {
  public:
    explicit TLazarusMacros(TFpcTarget target) : FTarget(std::move(target)) {}

    /// Sets a macro of the file (ProjPath, PkgDir, PkgOutDir, ...) or a build mode's value
    /// (LCLWidgetType=qt5), which wins over the IDE's own.
    void Set(const std::string& name, const std::string& value);

    /// `text` with every macro expanded; a macro not known is noted in `unknown` (once)
    /// and expands to nothing.
    std::string Expand(const std::string& text, std::vector<std::string>& unknown) const;

  private:
    /// The value of macro `name`; false when it is not known.
    bool Value(const std::string& name, std::string& value) const;

    TFpcTarget FTarget;
    std::map<std::string, std::string> FValues; ///< by folded name
};

} // namespace ut
