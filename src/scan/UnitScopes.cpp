#include "scan/UnitScopes.h"

#include "platform/FileSystem.h"
#include "support/Textutil.h"

namespace ut {

void TUnitScopes::SetScopes(const std::string& list) {
    FScopes.clear();
    FResolved.clear();
    std::vector<std::string> pieces;
    SplitToList(list, ";", pieces);
    for (const std::string& piece : pieces) {
        std::string scope = Trim(piece);
        if (!scope.empty() && IndexOfText(FScopes, scope) < 0)
            FScopes.push_back(std::move(scope));
    }
}

std::string TUnitScopes::Resolve(const std::string& name,
                                 const std::function<std::string(const std::string&)>& fileOf) {
    std::string file = fileOf(name);
    if (!file.empty())
        return file;
    for (const std::string& scope : FScopes) {
        file = fileOf(scope + "." + name);
        if (!file.empty()) {
            FResolved[UpperFoldText(name)] = fs::FileKey(file);
            return file;
        }
    }
    return {};
}

const std::string& TUnitScopes::ResolvedName(const std::string& name) const {
    if (FResolved.empty())
        return name; // no scope has been needed: nothing to look up
    const auto it = FResolved.find(UpperFoldText(name));
    return it == FResolved.end() ? name : it->second;
}

bool TUnitScopes::IsScoped(const std::string& name) const {
    return !FResolved.empty() && FResolved.count(UpperFoldText(name)) > 0;
}

} // namespace ut
