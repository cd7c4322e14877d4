#include "report/RulesReport.h"

#include "support/Utf8.h"

#include <algorithm>

namespace ut::report {

using json = nlohmann::ordered_json;
using namespace rules;

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string s;
    for (const std::string& n : names)
        s += (s.empty() ? "" : ", ") + n;
    return s;
}

std::string Site(const std::string& file, int line) {
    return line > 0 ? file + ":" + std::to_string(line) : file;
}

json Strings(const std::vector<std::string>& list) {
    json a = json::array();
    for (const std::string& s : list)
        a.push_back(ToUtf8(s));
    return a;
}

} // namespace

std::string ViolationText(const Violation& v) {
    if (v.To.empty())
        return v.Rule + ": " + v.From + ": " + std::to_string(v.Size.value_or(0)) +
               " bytes exclusive, over " + std::to_string(v.MaxBytes.value_or(0)) + " (" + v.File +
               ")\n";
    std::string s = v.Rule + ": " + v.From + " -> " + v.To + " (" +
                    (v.Interface ? "interface, " : "implementation, ") + Site(v.File, v.Line) +
                    ")\n";
    if (v.Path.size() > 1)
        for (const ViolationStep& step : v.Path)
            s += "  " + step.From + " -> " + step.To + "  (" +
                 (step.Interface ? "interface, " : "implementation, ") +
                 Site(step.File, step.Line) + ")\n";
    return s;
}

std::string ViolationSite(const Violation& v, const std::string& baseDir) {
    const bool below = !baseDir.empty() && v.File.rfind(baseDir, 0) == 0;
    return Site(below ? v.File.substr(baseDir.size()) : v.File, v.Line);
}

std::string ViolationTarget(const Violation& v) {
    if (!v.To.empty())
        return v.To;
    return std::to_string(v.Size.value_or(0)) + " bytes exclusive, over " +
           std::to_string(v.MaxBytes.value_or(0));
}

std::string RulesSummary(const RulesOutcome& outcome) {
    if (outcome.HasBaseline)
        return "Baseline: " + std::to_string(outcome.Known) + " known, " +
               std::to_string(outcome.Fixed.size()) + " fixed, " + std::to_string(outcome.New) +
               " new";
    const int all = static_cast<int>(outcome.Violations.size());
    const int errors = static_cast<int>(
        std::count_if(outcome.Violations.begin(), outcome.Violations.end(),
                      [](const Violation& v) { return v.Level == Severity::Error; }));
    auto count = [](int n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    return count(all, "violation") + " (" + count(errors, "error") + ", " +
           count(all - errors, "warning") + ")";
}

std::string RulesText(const RulesOutcome& outcome) {
    std::string s;
    for (const Violation& v : outcome.Violations)
        if (!v.Known)
            s += ViolationText(v);
    s += RulesSummary(outcome) + "\n";
    for (const std::string& entry : outcome.Fixed)
        s += "  fixed: " + entry + "\n";
    return s;
}

std::string EdgeNote(const std::vector<const Violation*>& violations, bool hasBaseline) {
    std::string s;
    for (const Violation* v : violations) {
        s += (s.empty() ? "" : "\n") + std::string("Breaks ") + v->Rule + " (" +
             SeverityName(v->Level) + (hasBaseline ? (v->Known ? ", known" : ", new") : "") + ")";
        if (v->Path.size() > 1)
            s += ": reaches " + v->To + " through " + v->Path.front().To;
    }
    return s;
}

std::vector<std::string> RulesWarnings(const RulesOutcome& outcome) {
    std::vector<std::string> lines;
    for (const UnmatchedSet& u : outcome.Unmatched)
        lines.push_back(u.Rule + ": " + u.Set + " " + u.Patterns + " matches no unit");
    lines.insert(lines.end(), outcome.Notes.begin(), outcome.Notes.end());
    return lines;
}

json ViolationsJson(const RulesOutcome& outcome) {
    json list = json::array();
    for (const Violation& v : outcome.Violations) {
        json j = {{"rule", v.Rule},
                  {"severity", SeverityName(v.Level)},
                  {"from", ToUtf8(v.From)},
                  {"to", v.To.empty() ? json(nullptr) : json(ToUtf8(v.To))},
                  {"interface", v.To.empty() ? json(nullptr) : json(v.Interface)},
                  {"file", ToUtf8(v.File)},
                  {"line", v.Line > 0 ? json(v.Line) : json(nullptr)}};
        if (!v.Path.empty()) {
            json path = json::array();
            for (const ViolationStep& step : v.Path)
                path.push_back({{"from", ToUtf8(step.From)},
                                {"to", ToUtf8(step.To)},
                                {"interface", step.Interface},
                                {"file", ToUtf8(step.File)},
                                {"line", step.Line}});
            j["path"] = std::move(path);
        }
        if (v.Size) {
            j["size"] = *v.Size;
            j["maxBytes"] = v.MaxBytes.value_or(0);
        }
        if (outcome.HasBaseline)
            j["known"] = v.Known;
        list.push_back(std::move(j));
    }
    return list;
}

json RulesJson(const RulesOutcome& outcome, const std::string& rulesFile,
               const std::string& baselineFile) {
    json unmatched = json::array();
    for (const UnmatchedSet& u : outcome.Unmatched)
        unmatched.push_back({{"rule", u.Rule}, {"set", u.Set}, {"patterns", ToUtf8(u.Patterns)}});
    json j = {{"file", ToUtf8(rulesFile)},
              {"unmatched", std::move(unmatched)},
              {"notes", Strings(outcome.Notes)}};
    if (outcome.HasBaseline)
        j["baseline"] = {{"file", ToUtf8(baselineFile)},
                         {"known", outcome.Known},
                         {"fixed", Strings(outcome.Fixed)},
                         {"new", outcome.New}};
    return j;
}

std::vector<std::pair<std::string, std::string>> AuditLines(const AuditReport& a) {
    std::vector<std::pair<std::string, std::string>> lines;
    for (const ShadowedUnit& s : a.Shadowed)
        lines.emplace_back(AuditNames[0], s.Unit + ": " + s.Used + ", hiding " + Joined(s.Hidden));
    for (const MissingPath& m : a.Missing)
        lines.emplace_back(AuditNames[1],
                           m.List + " \"" + m.Entry + "\": no directory " + m.Directory);
    for (const PackageOverlap& p : a.Packages)
        lines.emplace_back(AuditNames[2], p.Unit + ": contained in " + Joined(p.Packages));
    for (const OutsideInFile& o : a.OutsideIn)
        lines.emplace_back(AuditNames[3], o.Unit + ": " + o.File);
    for (const MismatchedLibrary& m : a.Mismatched) {
        std::string text = m.Directory + ":";
        if (!m.SourcesOnly.empty())
            text += " sources without compiled units: " + Joined(m.SourcesOnly) +
                    (m.CompiledOnly.empty() ? "" : ";");
        if (!m.CompiledOnly.empty())
            text += " compiled units without sources: " + Joined(m.CompiledOnly);
        lines.emplace_back(AuditNames[4], text);
    }
    return lines;
}

std::string AuditText(const AuditReport& audit) {
    const auto lines = AuditLines(audit);
    std::string s = lines.empty() ? "Audit: no findings\n" : "Audit:\n";
    for (const auto& [name, text] : lines)
        s += name + ": " + text + "\n";
    for (const std::string& note : audit.Notes)
        s += "note: " + note + "\n";
    return s;
}

json AuditJson(const AuditReport& a) {
    json j = json::object();
    for (const char* name : AuditNames)
        j[name] = json::array();
    for (const ShadowedUnit& s : a.Shadowed)
        j[AuditNames[0]].push_back(
            {{"unit", ToUtf8(s.Unit)}, {"used", ToUtf8(s.Used)}, {"hidden", Strings(s.Hidden)}});
    for (const MissingPath& m : a.Missing)
        j[AuditNames[1]].push_back(
            {{"list", m.List}, {"entry", ToUtf8(m.Entry)}, {"directory", ToUtf8(m.Directory)}});
    for (const PackageOverlap& p : a.Packages)
        j[AuditNames[2]].push_back({{"unit", ToUtf8(p.Unit)}, {"packages", Strings(p.Packages)}});
    for (const OutsideInFile& o : a.OutsideIn)
        j[AuditNames[3]].push_back({{"unit", ToUtf8(o.Unit)}, {"file", ToUtf8(o.File)}});
    for (const MismatchedLibrary& m : a.Mismatched)
        j[AuditNames[4]].push_back({{"directory", ToUtf8(m.Directory)},
                                    {"sourcesOnly", Strings(m.SourcesOnly)},
                                    {"compiledOnly", Strings(m.CompiledOnly)}});
    j["notes"] = Strings(a.Notes);
    return j;
}

} // namespace ut::report
