#include "report/HygieneRows.h"

#include "report/HygieneReport.h"

namespace ut::report {

namespace {

std::string Joined(const std::vector<std::string>& parts, const char* between) {
    std::string out;
    for (const std::string& part : parts)
        out += (out.empty() ? "" : between) + part;
    return out;
}

const char* SectionName(const TUnit& u, int k) {
    switch (u.Kind) {
    case ukProgram:
        return "program";
    case ukLibrary:
        return "library";
    case ukPackage:
        return "package";
    default:
        return u.Uses.Objects(k) != 0 ? "interface" : "implementation";
    }
}

} // namespace

std::string HygieneSummary(const ProjectScan& scan, const THygiene& hygiene) {
    std::string text = HygieneText(scan, hygiene);
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    const size_t last = text.rfind('\n');
    return last == std::string::npos ? text : text.substr(last + 1);
}

std::string ShownPath(const std::string& file, const std::string& projectDir) {
    return IsInTree(file, projectDir) ? file.substr(projectDir.size()) : file;
}

std::vector<THygieneRow> HygieneRows(const ProjectScan& scan, const THygiene& hygiene) {
    std::vector<THygieneRow> rows;
    const std::string& dir = hygiene.ProjectDir();
    for (int i = 0; i < scan.FUnits.Count(); ++i) {
        const TUnit& u = *scan.FUnits.Objects(i);
        const TUnitHygiene* h = hygiene.Of(&u);
        if (!h || h->Entries.size() != static_cast<size_t>(u.Uses.Count()))
            continue;
        for (int k = 0; k < u.Uses.Count(); ++k) {
            const size_t e = static_cast<size_t>(k);
            const TEntryHygiene& entry = h->Entries[e];
            if (entry.Verdict == TVerdict::None)
                continue;
            THygieneRow row;
            row.Unit = u.UnitName;
            row.Entry = u.Uses[k];
            row.Section = SectionName(u, k);
            row.Verdict = VerdictName(entry.Verdict);
            row.Reasons = entry.Verdict == TVerdict::Unknown
                              ? h->NoteOf(e)
                              : Joined(ReasonNames(entry.Reasons), ", ");
            std::vector<std::string> evidence;
            for (const TEvidence& ev : h->EvidenceOf(e))
                evidence.push_back(ev.Identifier + " (" + ShownPath(ev.File, dir) + ":" +
                                   std::to_string(ev.Line) + ")");
            row.Evidence = Joined(evidence, "; ");
            const TUseSite& site = u.UseSites[e];
            row.File = ShownPath(site.File.empty() ? u.FileName : site.File, dir);
            row.Line = site.Line;
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

std::string EntryVerdictText(const TUnitHygiene& unit, size_t k, const std::string& projectDir) {
    if (k >= unit.Entries.size())
        return {};
    const TEntryHygiene& e = unit.Entries[k];
    std::string out;
    switch (e.Verdict) {
    case TVerdict::Remove:
        out = "remove: nothing of the unit is referenced";
        break;
    case TVerdict::Move:
        out = "move to the implementation: used there only";
        break;
    case TVerdict::Keep:
        out = "keep: " + Joined(ReasonNames(e.Reasons), ", ");
        break;
    case TVerdict::Unknown:
        out = "unknown: " + unit.NoteOf(k);
        break;
    default:
        return {};
    }
    for (const TEvidence& ev : unit.EvidenceOf(k))
        out += "\n" + ev.Identifier + " at " + ShownPath(ev.File, projectDir) + ":" +
               std::to_string(ev.Line);
    return out;
}

} // namespace ut::report
