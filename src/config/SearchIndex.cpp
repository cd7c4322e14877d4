#include "config/SearchIndex.h"

#include "platform/FileSystem.h"
#include "support/Textutil.h"

namespace ut {

namespace {

constexpr std::string_view DelphiMacro = "$(DELPHI)";

void AppendSymbols(const std::string& text, std::vector<std::string>& defines) {
    std::vector<std::string> pieces;
    SplitToList(text, ";", pieces);
    for (const std::string& piece : pieces) {
        std::string symbol = Trim(piece);
        // An empty symbol would make a bare {$IFDEF} true.
        if (!symbol.empty())
            defines.push_back(std::move(symbol));
    }
}

} // namespace

std::string SearchPathEntry(std::string_view entry, const std::string& delphiRoot) {
    std::string text = Trim(entry);
    if (const size_t pos = PosText(DelphiMacro, text); pos > 0)
        text.replace(pos - 1, DelphiMacro.size(), delphiRoot);
    return text;
}

TListedDirectories::TListedDirectories() : FSet(true, TDuplicates::dupIgnore) {}

bool TListedDirectories::Add(const std::string& dir) {
    int index = 0;
    if (FSet.Find(dir, index))
        return false;
    FSet.Add(dir);
    FOrder.push_back(dir);
    return true;
}

void AddUnitFiles(const std::string& pathList, const std::string& delphiRoot,
                  TListedDirectories& listed, TDualStringList& unitFiles,
                  const std::vector<std::string>& extensions, const std::function<void()>& poll,
                  TPathVariables* variables) {
    std::string_view rest = pathList;
    while (!rest.empty()) {
        if (poll)
            poll();
        std::string entry = SearchPathEntry(SplitFirst(rest, ';'), delphiRoot);
        if (variables && variables->Lookup) {
            std::optional<std::string> expanded =
                ExpandVariables(entry, variables->Lookup, variables->Unknown);
            if (!expanded)
                continue;
            entry = std::move(*expanded);
        }
        if (Trim(entry).empty())
            continue; // would name the root directory
        const std::string expanded = fs::ExpandFileName(entry);
        // A drive letter that maps to no directory here stays unexpanded: nothing to list.
        if (!fs::IsFullPath(expanded))
            continue;
        const std::string dir = fs::IncludeTrailingPathDelimiter(expanded);
        if (!listed.Add(dir))
            continue;
        if (extensions.size() == 1) {
            for (const std::string& name : fs::ListFiles(dir, "*" + extensions[0]))
                unitFiles.AddDual(fs::FileKey(name), dir + name);
            continue;
        }
        // One listing, taken extension by extension: Unit.pas before Unit.pp.
        const std::vector<std::string> names = fs::ListFiles(dir, "*");
        for (const std::string& ext : extensions)
            for (const std::string& name : names)
                if (SameText(ExtractFileExt(name), ext))
                    unitFiles.AddDual(fs::FileKey(name), dir + name);
    }
}

std::vector<std::string> BuildSearchIndex(const TSearchInputs& inputs,
                                          std::vector<std::string>& defines,
                                          TDualStringList& unitFiles,
                                          const std::function<void()>& poll,
                                          TPathVariables* variables) {
    defines.clear();
    AppendSymbols(inputs.VersionDefines, defines);
    AppendSymbols(inputs.Defines, defines);

    unitFiles.Clear();
    TListedDirectories listed;
    const std::vector<std::string>& ext = inputs.UnitExtensions;
    AddUnitFiles(".", inputs.DelphiRoot, listed, unitFiles, ext, poll);
    AddUnitFiles(inputs.SearchPath, inputs.DelphiRoot, listed, unitFiles, ext, poll, variables);
    AddUnitFiles(inputs.PackagePath, inputs.DelphiRoot, listed, unitFiles, ext, poll, variables);
    AddUnitFiles(inputs.LibPath, inputs.DelphiRoot, listed, unitFiles, ext, poll, variables);
    if (inputs.BrowseAlso)
        AddUnitFiles(inputs.BrowsePath, inputs.DelphiRoot, listed, unitFiles, ext, poll, variables);
    return listed.InOrder();
}

} // namespace ut
