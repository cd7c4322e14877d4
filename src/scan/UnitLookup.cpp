#include "scan/UnitLookup.h"

#include "platform/FileSystem.h"
#include "support/Textutil.h"

namespace ut {

void UnitLookup::Reindex() {
    FIndex.clear();
    FIndex.reserve(static_cast<size_t>(FFiles.Count()));
    for (int i = 0; i < FFiles.Count(); ++i)
        FIndex.emplace(UpperFoldText(FFiles[i]), i); // keeps the first of equal names
}

void UnitLookup::SetReferences(const std::vector<std::string>& files) {
    FReferences.clear();
    for (const std::string& file : files)
        FReferences.emplace(UpperFoldText(fs::FileKey(file)), file);
}

std::string UnitLookup::CandidateFile(const std::string& name, const TProject* project) const {
    if (project) {
        std::string inFile = project->GetInFile(name);
        if (!inFile.empty())
            return inFile;
    }
    const std::string folded = UpperFoldText(name);
    if (!FReferences.empty())
        if (const auto ref = FReferences.find(folded); ref != FReferences.end())
            return ref->second;
    const auto it = FIndex.find(folded);
    return it == FIndex.end() ? std::string() : FFiles.Duals(it->second);
}

std::string UnitLookup::FindUnitFile(const std::string& unitName, const TProject* project) {
    std::string file = FScopes.Resolve(
        unitName, [&](const std::string& name) { return CandidateFile(name, project); });
    if (!file.empty())
        return file;
    const std::string folded = UpperFoldText(unitName);
    if (!FIndex.count(folded))
        FIndex.emplace(folded, FFiles.AddDual(unitName, std::string()));
    return {};
}

std::string UnitLookup::ResolvedUnit(const std::string& name, const TProject* project) const {
    if (!CandidateFile(name, project).empty())
        return name;
    for (const std::string& scope : FScopes.Scopes())
        if (!CandidateFile(scope + "." + name, project).empty())
            return scope + "." + name;
    return {};
}

bool UnitLookup::IsIgnored(const std::string& name, const TProject* project,
                           const std::function<bool(const std::string&)>& listed) const {
    if (listed(name))
        return true;
    if (FScopes.Scopes().empty())
        return false;
    const std::string unit = ResolvedUnit(name, project);
    if (!unit.empty() && listed(unit))
        return true; // SysUtils, found as a listed System.SysUtils
    // System.SysUtils, the unit a listed SysUtils finds (or may find, when no file answers)
    const std::string& spelt = unit.empty() ? name : unit;
    for (const std::string& scope : FScopes.Scopes()) {
        const size_t n = scope.size();
        if (spelt.size() <= n + 1 || spelt[n] != '.' || !SameText(spelt.substr(0, n), scope))
            continue;
        const std::string bare = spelt.substr(n + 1);
        if (!listed(bare))
            continue;
        const std::string found = ResolvedUnit(bare, project);
        if (found.empty() ? unit.empty() : SameText(found, spelt))
            return true;
    }
    if (unit.empty()) // no file answers: a listed scoped name may be the unit
        for (const std::string& scope : FScopes.Scopes())
            if (listed(scope + "." + name))
                return true;
    return false;
}

std::string UnitLookup::PeekUnitFile(const std::string& name, const TProject* project) const {
    std::string file = CandidateFile(name, project);
    for (size_t i = 0; file.empty() && i < FScopes.Scopes().size(); ++i)
        file = CandidateFile(FScopes.Scopes()[i] + "." + name, project);
    return fs::IsAbsolutePath(file) ? file : std::string();
}

} // namespace ut
