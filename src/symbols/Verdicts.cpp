#include "symbols/Verdicts.h"

#include "scanner/Unit.h"

namespace ut {

TJudgement JudgeEntry(const TEntryFacts& f) {
    TJudgement j;
    if (f.UnitKind == ukPackage)
        return j;
    if (!f.Unknown.empty()) {
        j.Verdict = TVerdict::Unknown;
        j.Note = f.Unknown;
        return j;
    }
    const bool unit = f.UnitKind == ukUnit;
    const std::uint32_t anywhere = f.Uses[0] + f.Uses[1];
    // An implementation entry cannot serve the interface; a name of B that the interface
    // references all the same keeps it, as any doubt does.
    const bool used = unit && f.Interface ? f.Uses[0] > 0 : anywhere > 0;
    j.Reasons = f.Needs & (krInitialization | krRegister | krHelper | krOperator | krForm);
    if (used)
        j.Reasons |= krUsed;
    if (f.Marked)
        j.Reasons |= krMarked;
    if (!unit && f.InClause)
        j.Reasons |= krProject;
    if (j.Reasons != 0)
        j.Verdict = TVerdict::Keep;
    else if (unit && f.Interface && f.Uses[1] > 0)
        j.Verdict = TVerdict::Move;
    else if (anywhere == 0)
        j.Verdict = TVerdict::Remove;
    else
        j.Verdict = TVerdict::Keep;
    if ((j.Verdict == TVerdict::Move || j.Verdict == TVerdict::Remove) && !f.Incomplete.empty()) {
        j.Verdict = TVerdict::Unknown;
        j.Note = f.Incomplete;
    }
    return j;
}

const char* VerdictName(TVerdict verdict) {
    switch (verdict) {
    case TVerdict::Keep:
        return "keep";
    case TVerdict::Move:
        return "move";
    case TVerdict::Remove:
        return "remove";
    case TVerdict::Unknown:
        return "unknown";
    default:
        return "none";
    }
}

std::vector<std::string> ReasonNames(unsigned reasons) {
    static const char* const names[] = {"used",     "initialization", "register", "helper",
                                        "operator", "form",           "project",  "marked"};
    std::vector<std::string> out;
    for (unsigned i = 0; i < 8; ++i)
        if (reasons & (1u << i))
            out.emplace_back(names[i]);
    return out;
}

} // namespace ut
