#include "scan/ScanSymbols.h"

#include "config/CompilerSettings.h"
#include "platform/FileSystem.h"
#include "support/Textutil.h"

namespace ut {

SharedCompilerSymbols BuildScanSymbols(TCompiler compiler, const std::string& delphiVersion,
                                       const TFpcTarget& fpc,
                                       const std::vector<std::string>& defines, TSyntaxMode mode,
                                       const std::string& delphiPlatform) {
    auto symbols = std::make_shared<TCompilerSymbols>();
    for (const std::string& s : defines)
        symbols->Define(s);
    const bool freePascal = compiler == TCompiler::FreePascal;
    for (const auto& [name, value] :
         freePascal ? FpcConstants(fpc) : VersionConstants(delphiVersion))
        symbols->SetConstant(name, value);
    symbols->PointerSize = freePascal ? FpcPointerSize(fpc) : PlatformPointerSize(delphiPlatform);
    symbols->Mode = mode;
    return symbols;
}

SharedCompilerSymbols WithSymbols(const TCompilerSymbols& base,
                                  const std::vector<std::string>& more) {
    auto symbols = std::make_shared<TCompilerSymbols>(base);
    for (const std::string& s : more)
        symbols->Define(s);
    return symbols;
}

std::shared_ptr<const std::vector<std::string>> IncludeDirectories(const std::string& pathList) {
    auto dirs = std::make_shared<std::vector<std::string>>();
    std::vector<std::string> pieces;
    SplitToList(pathList, ";", pieces);
    for (const std::string& piece : pieces)
        if (const std::string dir = Trim(piece); !dir.empty())
            dirs->push_back(fs::ExpandFileName(dir));
    return dirs;
}

std::string FpcSymbolText(const TFpcTarget& fpc, TSyntaxMode mode) {
    std::string text;
    for (const std::string& s : FpcSymbols(fpc))
        text += (text.empty() ? "" : ";") + s;
    if (const std::string symbol = SyntaxModeSymbol(mode); !symbol.empty())
        text += ";" + symbol;
    return text;
}

const TParseContext& TParseContexts::Of(const std::string& file) const {
    if (!Packages.empty())
        if (const auto it = Packages.find(fs::ExtractFilePath(file)); it != Packages.end())
            return it->second;
    return Project;
}

} // namespace ut
