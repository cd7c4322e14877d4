#include "report/UsesPatch.h"

#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "symbols/UnitSymbols.h"

#include <algorithm>

namespace ut::report {

namespace {

constexpr size_t Context = 3;

/// The lines of `text`, each with its line end.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t lf = text.find('\n', at);
        const size_t end = lf == std::string::npos ? text.size() : lf + 1;
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

void Emit(std::string& out, char prefix, const std::string& line) {
    out += prefix;
    out += line;
    if (line.empty() || line.back() != '\n')
        out += "\n\\ No newline at end of file\n";
}

/// A run of old lines that edits change (Count of them from First, maybe none), and the
/// new lines that replace them.
struct Change {
    size_t First = 0, Count = 0;
    std::vector<std::string> New;
    size_t End() const { return First + Count; }
};

// The path of `file` below the project's directory, with '/' between its parts.
std::string PatchPath(const std::string& file, const std::string& dir) {
    std::string rel = file.substr(dir.size());
    std::replace(rel.begin(), rel.end(), '\\', '/');
    return rel;
}

} // namespace

std::string UnifiedDiff(const std::string& path, const std::string& text,
                        const std::vector<TByteEdit>& edits) {
    const std::vector<std::string> old = Lines(text);
    std::vector<size_t> starts;
    for (size_t i = 0, at = 0; i < old.size(); at += old[i++].size())
        starts.push_back(at);
    auto lineOf = [&](size_t offset) {
        const auto it = std::upper_bound(starts.begin(), starts.end(), offset);
        return it == starts.begin() ? size_t{0} : static_cast<size_t>(it - starts.begin() - 1);
    };
    // Edits that touch the same lines make one change.
    std::vector<Change> changes;
    std::vector<std::vector<TByteEdit>> grouped;
    for (const TByteEdit& e : edits) {
        const size_t first = lineOf(e.Offset);
        // The line where the text after the edit goes on changes too: a deleted line end
        // joins it to the line before (common lines are trimmed below).
        const size_t end = std::min(lineOf(e.Offset + e.Length) + 1, old.size());
        if (!changes.empty() && first < changes.back().End()) {
            changes.back().Count = std::max(changes.back().End(), end) - changes.back().First;
            grouped.back().push_back(e);
        } else {
            changes.push_back({first, end - first, {}});
            grouped.push_back({e});
        }
    }
    for (size_t c = 0; c < changes.size(); ++c) {
        Change& ch = changes[c];
        const size_t from = starts.empty() ? 0 : starts[ch.First];
        const size_t to = ch.End() < starts.size() ? starts[ch.End()] : text.size();
        std::vector<TByteEdit> local = grouped[c];
        for (TByteEdit& e : local)
            e.Offset -= from;
        ch.New = Lines(ApplyEdits(text.substr(from, to - from), local));
        // Lines the edits leave as they were are context, not changes.
        while (ch.Count && !ch.New.empty() && ch.New.back() == old[ch.End() - 1]) {
            --ch.Count;
            ch.New.pop_back();
        }
        while (ch.Count && !ch.New.empty() && ch.New.front() == old[ch.First]) {
            ++ch.First;
            --ch.Count;
            ch.New.erase(ch.New.begin());
        }
    }
    changes.erase(std::remove_if(changes.begin(), changes.end(),
                                 [](const Change& c) { return c.Count == 0 && c.New.empty(); }),
                  changes.end());
    std::string out = "--- a/" + path + "\n+++ b/" + path + "\n";
    long shift = 0; // new lines minus old lines before the hunk
    for (size_t c = 0; c < changes.size();) {
        // Changes whose contexts meet make one hunk.
        size_t end = c + 1;
        while (end < changes.size() && changes[end].First <= changes[end - 1].End() + 2 * Context)
            ++end;
        const size_t oldFirst = changes[c].First > Context ? changes[c].First - Context : 0;
        const size_t oldEnd = std::min(old.size(), changes[end - 1].End() + Context);
        std::string body;
        long added = 0;
        size_t line = oldFirst;
        for (size_t k = c; k < end; ++k) {
            for (; line < changes[k].First; ++line)
                Emit(body, ' ', old[line]);
            for (; line < changes[k].End(); ++line)
                Emit(body, '-', old[line]);
            for (const std::string& n : changes[k].New)
                Emit(body, '+', n);
            added += static_cast<long>(changes[k].New.size()) - static_cast<long>(changes[k].Count);
        }
        for (; line < oldEnd; ++line)
            Emit(body, ' ', old[line]);
        const long oldCount = static_cast<long>(oldEnd - oldFirst);
        const long newCount = oldCount + added;
        const long newFirst = static_cast<long>(oldFirst) + shift;
        out += "@@ -" + std::to_string(oldCount ? oldFirst + 1 : oldFirst) + "," +
               std::to_string(oldCount) + " +" +
               std::to_string(newCount ? newFirst + 1 : newFirst) + "," + std::to_string(newCount) +
               " @@\n" + body;
        shift += added;
        c = end;
    }
    return out;
}

std::string UsesPatch(const ProjectScan& scan, const THygiene& hygiene) {
    const std::string& dir = hygiene.ProjectDir();
    std::string comments, diffs;
    auto shown = [&](const std::string& file) {
        return IsInTree(file, dir) ? PatchPath(file, dir) : file;
    };
    for (int i = 0; i < scan.FUnits.Count(); ++i) {
        const TUnit& u = *scan.FUnits.Objects(i);
        const TUnitHygiene* h = hygiene.Of(&u);
        if (!h)
            continue;
        std::vector<TUsesChange> changes;
        for (int k = 0; k < u.Uses.Count(); ++k) {
            const TVerdict v = h->Entries[static_cast<size_t>(k)].Verdict;
            if (v != TVerdict::Remove && v != TVerdict::Move)
                continue;
            const TUseSite& site = u.UseSites[static_cast<size_t>(k)];
            const std::string file = site.File.empty() ? u.FileName : site.File;
            const char* reason = !site.File.empty()     ? "in an include file"
                                 : !IsInTree(file, dir) ? "outside the project's directory"
                                 : site.Condition       ? "inside a conditional branch"
                                                        : nullptr;
            if (reason)
                comments += "# " + shown(file) + ":" + std::to_string(site.Line) + ": " +
                            VerdictName(v) + " " + u.Uses[k] + ": not edited, " + reason + "\n";
            else
                changes.push_back({u.Uses[k], site.Line, v == TVerdict::Move});
        }
        if (changes.empty())
            continue;
        const std::string text = LoadFileText(u.FileName);
        if (text.size() != h->Size || TextFingerprint(text) != h->Fingerprint)
            throw EWarning(u.FileName + " changed since it was read: no patch written");
        const TUsesEdits plan = PlanUsesEdits(text, u.FileName, changes);
        for (const TUsesRefusal& r : plan.Refused) {
            const bool move =
                std::any_of(changes.begin(), changes.end(), [&](const TUsesChange& c) {
                    return c.Line == r.Line && FoldedEqual()(c.Name, r.Name) && c.Move;
                });
            comments += "# " + shown(u.FileName) + ":" + std::to_string(r.Line) + ": " +
                        (move ? "move " : "remove ") + r.Name + ": not edited, " + r.Reason + "\n";
        }
        if (!plan.Edits.empty())
            diffs += UnifiedDiff(PatchPath(u.FileName, dir), text, plan.Edits);
    }
    return comments + diffs;
}

} // namespace ut::report
