#include "report/HygieneReport.h"

#include "support/Utf8.h"

#include <algorithm>

namespace ut::report {

namespace {

std::string Site(const TUnit& u, int k) {
    const TUseSite& site = u.UseSites[static_cast<size_t>(k)];
    return (site.File.empty() ? u.FileName : site.File) + ":" + std::to_string(site.Line);
}

/// Calls `each(unit, hygiene)` for the judged units in key order.
template <class F> void EachJudged(const ProjectScan& scan, const THygiene& hygiene, F each) {
    for (int i = 0; i < scan.FUnits.Count(); ++i)
        if (const TUnitHygiene* h = hygiene.Of(scan.FUnits.Objects(i).get()))
            each(*scan.FUnits.Objects(i), *h);
}

} // namespace

std::string HygieneText(const ProjectScan& scan, const THygiene& hygiene) {
    std::string out;
    int remove = 0, move = 0, startUp = 0, unknown = 0;
    EachJudged(scan, hygiene, [&](const TUnit& u, const TUnitHygiene& h) {
        for (const std::string& note : h.Notes)
            out += u.FileName + ": note: " + note + "\n";
        for (int k = 0; k < u.Uses.Count(); ++k) {
            const TEntryHygiene& e = h.Entries[static_cast<size_t>(k)];
            if (e.Verdict == TVerdict::Remove) {
                ++remove;
                out += Site(u, k) + ": remove " + u.Uses[k] + "\n";
            } else if (e.Verdict == TVerdict::Move) {
                ++move;
                out += Site(u, k) + ": move " + u.Uses[k] + " to the implementation";
                if (const auto evidence = h.EvidenceOf(static_cast<size_t>(k)); !evidence.empty())
                    out += " (first used at " + evidence[0].File + ":" +
                           std::to_string(evidence[0].Line) + ": " + evidence[0].Identifier + ")";
                out += "\n";
            } else if (e.Verdict == TVerdict::Unknown) {
                ++unknown;
            } else if (e.Verdict == TVerdict::Keep && (e.Reasons & krInitialization) &&
                       !(e.Reasons & krUsed)) {
                ++startUp;
            }
        }
    });
    return out + "Uses hygiene: " + std::to_string(remove) + " entries can go, " +
           std::to_string(move) + " can move, " + std::to_string(startUp) +
           " kept for start-up code, " + std::to_string(unknown) + " unknown\n";
}

bool ReportHygieneGates(const std::vector<std::string>& failOn, const ProjectScan& scan,
                        const THygiene& hygiene, std::FILE* err) {
    const bool unused = std::find(failOn.begin(), failOn.end(), "unused") != failOn.end();
    const bool movable = std::find(failOn.begin(), failOn.end(), "movable") != failOn.end();
    bool failed = false;
    EachJudged(scan, hygiene, [&](const TUnit& u, const TUnitHygiene& h) {
        for (int k = 0; k < u.Uses.Count(); ++k) {
            const TVerdict v = h.Entries[static_cast<size_t>(k)].Verdict;
            const char* gate = v == TVerdict::Remove && unused  ? "unused"
                               : v == TVerdict::Move && movable ? "movable"
                                                                : nullptr;
            if (gate) {
                std::fprintf(err, "%s: %s %s\n", gate, Site(u, k).c_str(), u.Uses[k].c_str());
                failed = true;
            }
        }
    });
    return failed;
}

void WriteEntryHygiene(JsonStream& j, const TUnitHygiene& unit, size_t k) {
    const TEntryHygiene& e = unit.Entries[k];
    j.Raw(",\"verdict\":");
    if (e.Verdict == TVerdict::None)
        j.Null();
    else
        j.String(VerdictName(e.Verdict));
    j.Raw(",\"reasons\":[");
    const std::vector<std::string> reasons = ReasonNames(e.Reasons);
    for (size_t i = 0; i < reasons.size(); ++i)
        j.Raw(i ? "," : "").String(reasons[i]);
    j.Raw("],\"evidence\":[");
    const auto evidence = unit.EvidenceOf(k);
    for (size_t i = 0; i < evidence.size(); ++i) {
        j.Raw(i ? ",{\"identifier\":" : "{\"identifier\":").String(ToUtf8(evidence[i].Identifier));
        j.Raw(",\"file\":").String(ToUtf8(evidence[i].File));
        j.Raw(",\"line\":").Number(evidence[i].Line).Raw("}");
    }
    j.Raw("]");
    if (const std::string& note = unit.NoteOf(k); !note.empty())
        j.Raw(",\"note\":").String(ToUtf8(note));
}

} // namespace ut::report
