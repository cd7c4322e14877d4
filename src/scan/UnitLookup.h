#pragma once
// Where the scan finds the file of a used name: the project's `in` clauses, the .dproj's
// unit references, then the index of the search directories, each for the name as written
// and then with each unit scope.
#include "scan/UnitScopes.h"
#include "scanner/Unit.h"
#include "support/DualStringList.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace ut {

class UnitLookup {
  public:
    /// `files`: the unit files of the search directories, key and full path in search
    /// order; call Reindex after filling it. Misses are added to it with an empty path.
    explicit UnitLookup(TDualStringList& files) : FFiles(files) {}

    /// Indexes the files by folded key; the first of equal names wins, as the search order says.
    void Reindex();
    /// The .dproj's unit files (DCCReference), found by key before the index.
    void SetReferences(const std::vector<std::string>& files);
    /// Takes the ';'-separated unit scopes and forgets every resolution.
    void SetScopes(const std::string& scopes) { FScopes.SetScopes(scopes); }
    const TUnitScopes& Scopes() const { return FScopes; }

    /// The file of a used name: as written, then as "Scope.Name" for each unit scope; each
    /// candidate through `project`'s `in` clauses, the references, the index. A miss is
    /// remembered, so the name is not looked for again.
    std::string FindUnitFile(const std::string& unitName, const TProject* project);
    /// The file a used name is likely to have, without remembering anything; empty when
    /// none or when it is no full path (a relative one depends on the current directory,
    /// which only the walk may use).
    std::string PeekUnitFile(const std::string& name, const TProject* project) const;

    /// True when `name` is a unit that `listed` (a test of the written names of a list)
    /// holds: names compare as the units they find, through the unit scopes, so a listed
    /// SysUtils is System.SysUtils written in full, and a listed System.SysUtils the SysUtils
    /// it is found as. Where no file answers to a name, any scope may make it the listed one.
    bool IsIgnored(const std::string& name, const TProject* project,
                   const std::function<bool(const std::string&)>& listed) const;

  private:
    TDualStringList& FFiles;
    /// The name of the unit a used name finds: itself, else the first scoped name with a
    /// file; empty when no file answers.
    std::string ResolvedUnit(const std::string& name, const TProject* project) const;
    /// The file one candidate name has: `in` clause, reference or index; empty for none.
    std::string CandidateFile(const std::string& name, const TProject* project) const;

    /// Files by folded key: the index of the first entry of each name, so a lookup costs
    /// the same however many files the search directories hold.
    std::unordered_map<std::string, int> FIndex;
    /// The .dproj's unit files by folded key.
    std::unordered_map<std::string, std::string> FReferences;
    TUnitScopes FScopes;
};

} // namespace ut
