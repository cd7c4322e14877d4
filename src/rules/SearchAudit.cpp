#include "config/SearchIndex.h"
#include "platform/FileSystem.h"
#include "rules/Audit.h"
#include "scan/ProjectScan.h"
#include "support/Textutil.h"

#include <map>
#include <unordered_map>

namespace ut::rules {

namespace {

void FindShadowed(const ProjectScan& scan, AuditReport& report) {
    std::unordered_map<std::string, std::vector<std::string>> copies; // by folded name
    for (int i = 0; i < scan.FUnitFiles.Count(); ++i)
        if (!scan.FUnitFiles.Duals(i).empty()) // a name looked for in vain
            copies[UpperFoldText(scan.FUnitFiles[i])].push_back(scan.FUnitFiles.Duals(i));
    // The parsed units and every name they use: an ignored unit can be shadowed too.
    std::map<std::string, std::string> names; // folded -> as written
    for (int i = 0; i < scan.FUnits.Count(); ++i) {
        names.emplace(UpperFoldText(scan.FUnits[i]), scan.FUnits[i]);
        const TUnit& u = *scan.FUnits.Objects(i);
        for (int k = 0; k < u.Uses.Count(); ++k)
            names.emplace(UpperFoldText(scan.ResolvedName(u.Uses[k])),
                          scan.ResolvedName(u.Uses[k]));
    }
    for (const auto& [folded, name] : names) {
        const auto found = copies.find(folded);
        if (found == copies.end())
            continue;
        const TUnit* parsed = scan.FindUnit(name);
        ShadowedUnit s{name, parsed ? parsed->FileName : found->second.front(), {}};
        for (const std::string& file : found->second)
            if (!fs::SamePath(file, s.Used))
                s.Hidden.push_back(file);
        if (!s.Hidden.empty())
            report.Shadowed.push_back(std::move(s));
    }
}

// The directory an entry names, relative ones against the project's directory ("\x" on
// Windows is not relative: it names x on the current drive).
std::string EntryDirectory(const ProjectScan& scan, const std::string& entry) {
    if (entry[0] == '/' || entry[0] == '\\' || fs::IsDrivePath(entry) || scan.FProjectDir.empty())
        return fs::ExpandFileName(entry);
    return fs::ExpandFileName(scan.FProjectDir + entry);
}

// A library directory that holds sources and compiled units of different names.
void FindMismatched(const ProjectScan& scan, const std::string& dir, AuditReport& report) {
    const std::vector<std::string>& sourceExts = UnitFileExtensions(scan.Inputs.Compiler);
    const char* compiledExt = scan.Inputs.Compiler == TCompiler::FreePascal ? ".ppu" : ".dcu";
    std::map<std::string, std::string> sources, compiled; // folded name -> as on disk
    for (const std::string& file : fs::ListFiles(dir, "*")) {
        const std::string name = fs::FileKey(file);
        if (SameText(ExtractFileExt(file), compiledExt))
            compiled.emplace(UpperFoldText(name), name);
        else if (IndexOfExt(file, sourceExts) >= 0)
            sources.emplace(UpperFoldText(name), name);
    }
    if (sources.empty() || compiled.empty())
        return;
    MismatchedLibrary m{dir, {}, {}};
    for (const auto& [key, name] : sources)
        if (!compiled.count(key))
            m.SourcesOnly.push_back(name);
    for (const auto& [key, name] : compiled)
        if (!sources.count(key))
            m.CompiledOnly.push_back(name);
    if (!m.SourcesOnly.empty() || !m.CompiledOnly.empty())
        report.Mismatched.push_back(std::move(m));
}

void FindMissingAndMismatched(const ProjectScan& scan, AuditReport& report) {
    const struct {
        const char* list;
        const std::string& text;
        bool searched;
    } lists[] = {{"search path", scan.Inputs.SearchPath, true},
                 {"library path", scan.Inputs.LibPath, true},
                 {"browsing path", scan.Inputs.BrowsePath, scan.Inputs.BrowseAlso}};
    for (const auto& l : lists) {
        std::vector<std::string> pieces;
        SplitToList(l.text, ";", pieces);
        for (const std::string& piece : pieces) {
            const std::string entry = SearchPathEntry(piece, scan.FDelphiRoot);
            if (entry.empty() || !l.searched)
                continue;
            const std::string dir = EntryDirectory(scan, entry);
            if (!fs::IsFullPath(dir) || !fs::DirectoryExists(dir))
                report.Missing.push_back({l.list, Trim(piece), dir});
            else if (&l == &lists[1])
                FindMismatched(scan, fs::IncludeTrailingPathDelimiter(dir), report);
        }
    }
}

} // namespace

void AuditSearchPaths(const ProjectScan& scan, AuditReport& report) {
    FindShadowed(scan, report);
    FindMissingAndMismatched(scan, report);
}

AuditReport AuditScan(const ProjectScan& scan) {
    AuditReport report;
    AuditSearchPaths(scan, report);
    AuditPackages(scan, report);
    return report;
}

} // namespace ut::rules
