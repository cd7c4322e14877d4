#include "config/Compiler.h"

#include "support/Textutil.h"

namespace ut {

std::string CompilerName(TCompiler compiler) {
    return compiler == TCompiler::FreePascal ? "fpc" : "delphi";
}

std::optional<TCompiler> CompilerOfName(const std::string& name) {
    for (const TCompilerChoice& c : CompilerChoices())
        if (SameText(name, CompilerName(c.Compiler)))
            return c.Compiler;
    return std::nullopt;
}

const std::vector<TCompilerChoice>& CompilerChoices() {
    static const std::vector<TCompilerChoice> choices = {
        {TCompiler::Delphi, "Delphi"},
        {TCompiler::FreePascal, "Free Pascal"},
    };
    return choices;
}

bool IsFreePascalProject(const std::string& projectFile) {
    return IndexOfExt(projectFile, {".lpr", ".lpi", ".lpk"}) >= 0;
}

const std::vector<std::string>& UnitFileExtensions(TCompiler compiler) {
    static const std::vector<std::string> delphi = {".pas"};
    static const std::vector<std::string> fpc = {".pas", ".pp", ".p"};
    return compiler == TCompiler::FreePascal ? fpc : delphi;
}

} // namespace ut
