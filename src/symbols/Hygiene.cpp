// The hygiene of a scan in three passes: the interface of every unit for its declarations;
// every source whole for its references (kept only where they name a unit's declarations)
// and its start-up code; then the verdicts. Sources are read by several threads.
#include "symbols/Hygiene.h"

#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "symbols/FormFile.h"
#include "symbols/UnitSymbols.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <tuple>

namespace ut {

namespace {

/// What the interface of a unit B declares, and what it needs kept for.
struct Declarations {
    TNameSet Names;
    unsigned Needs = 0;  ///< krRegister, krHelper, krOperator, krInitialization
    std::string Failure; ///< why B cannot be judged by
};

/// One candidate for the evidence: token order, identifier, file, line.
using Candidate = std::tuple<std::uint32_t, std::string, std::string, int>;

/// What A's whole source says about one of its entries.
struct EntryRead {
    bool InClause = false, Marked = false;
    unsigned FormNeeds = 0;
    std::uint32_t Uses[2] = {0, 0};
    std::vector<std::string> Identifiers;
    std::vector<Candidate> Evidence[2]; ///< the first uses per section, at most 3 each
    std::vector<TEvidence> FormEvidence;
};

/// What the whole source of a unit says.
struct SourceRead {
    unsigned StartUp = 0; ///< krInitialization when it runs code at start-up or shut-down
    std::string Failure;
    std::string Incomplete;
    std::vector<std::string> Notes;
    std::vector<EntryRead> Entries;
    std::uint64_t Size = 0, Fingerprint = 0;
};

/// Runs `work` for 0 .. count-1 on `jobs` threads, the calling one among them, which
/// reports progress; EAbort when the progress asks for it, the first failure otherwise.
void ForEach(int count, int jobs, const std::function<void(int)>& work,
             const THygieneOptions& options, int& done, int total) {
    std::atomic<int> next{0}, finished{0};
    std::atomic<bool> stop{false};
    bool aborted = false;
    std::exception_ptr failure;
    std::mutex failureLock;
    auto loop = [&](bool reports) {
        for (int i; !stop && (i = next++) < count;) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(failureLock);
                failure = failure ? failure : std::current_exception();
                stop = true;
            }
            ++finished;
            if (reports && options.Progress && options.Progress(done + finished, total)) {
                aborted = true;
                stop = true;
            }
        }
    };
    std::vector<std::thread> workers;
    for (int j = 1; j < std::min(jobs, count); ++j)
        workers.emplace_back(loop, false);
    loop(true);
    for (std::thread& w : workers)
        w.join();
    done += count;
    if (aborted)
        throw EAbort();
    if (failure)
        std::rethrow_exception(failure);
}

// Names a reference may qualify B with: as written, as resolved, B's own name, and each
// of them without its leading scopes ("Forms" for "Vcl.Forms").
TNameSet Qualifiers(const std::vector<std::string>& names) {
    TNameSet set;
    for (const std::string& n : names)
        for (size_t from = 0; from != std::string::npos;) {
            set.insert(n.substr(from));
            const size_t dot = n.find('.', from);
            from = dot == std::string::npos ? dot : dot + 1;
        }
    return set;
}

std::vector<TEvidence> Best(std::vector<Candidate> candidates) {
    std::sort(candidates.begin(), candidates.end());
    std::vector<TEvidence> out;
    for (size_t i = 0; i < candidates.size() && i < 3; ++i)
        out.push_back(
            {std::get<1>(candidates[i]), std::get<2>(candidates[i]), std::get<3>(candidates[i])});
    return out;
}

unsigned Flag(bool on, TKeepReason reason) {
    return on ? reason : 0u;
}

std::string UnreadReason(const TUnit& u) {
    if (!u.ParseError.empty())
        return u.ParseError;
    return u.Kind == ukNone ? "no unit, program, library or package header" : "";
}

} // namespace

bool IsInTree(const std::string& path, const std::string& dir) {
    return !dir.empty() && path.size() > dir.size() &&
           fs::SamePath(path.substr(0, dir.size()), dir);
}

const TUnitHygiene* THygiene::Of(const TUnit* unit) const {
    const auto it = FUnits.find(unit);
    return it == FUnits.end() ? nullptr : &it->second;
}

THygiene THygiene::Judge(const ProjectScan& scan, const THygieneOptions& options) {
    THygiene result;
    result.FProjectDir = scan.FProjectDir;
    fs::ListingCacheScope listings;
    const int count = scan.FUnits.Count();
    std::vector<const TUnit*> units(static_cast<size_t>(count));
    std::unordered_map<const TUnit*, int> index;
    for (int i = 0; i < count; ++i)
        index[units[static_cast<size_t>(i)] = scan.FUnits.Objects(i).get()] = i;

    // The unit each entry names (-1: none) and why there is none.
    std::vector<std::vector<int>> targets(units.size());
    std::vector<std::vector<std::string>> missing(units.size());
    for (size_t a = 0; a < units.size(); ++a)
        for (int k = 0; k < units[a]->Uses.Count(); ++k) {
            const std::string& name = units[a]->Uses[k];
            const TUnit* b = scan.IsIgnored(name) ? nullptr : scan.FindUsedUnit(name);
            targets[a].push_back(b ? index[b] : -1);
            missing[a].push_back(b ? "" : scan.IsIgnored(name) ? "ignored" : "not found");
        }
    auto judged = [&](const TUnit& u) {
        return options.AllUnits || IsInTree(u.FileName, scan.FProjectDir);
    };
    // Only the units judged and those they name are read.
    std::vector<char> wanted(units.size());
    for (size_t a = 0; a < units.size(); ++a)
        if (judged(*units[a])) {
            wanted[a] = 1;
            for (const int b : targets[a])
                if (b >= 0)
                    wanted[static_cast<size_t>(b)] = 1;
        }
    int done = 0;
    const int total = 2 * count;

    std::vector<Declarations> declarations(units.size());
    ForEach(
        count, options.Jobs,
        [&](int i) {
            const TUnit& u = *units[static_cast<size_t>(i)];
            Declarations& d = declarations[static_cast<size_t>(i)];
            d.Failure = UnreadReason(u);
            if (!wanted[static_cast<size_t>(i)])
                return;
            if (!d.Failure.empty() || u.Kind != ukUnit) {
                d.Failure = d.Failure.empty() ? "not a unit" : d.Failure;
                return;
            }
            TSymbolOptions read;
            read.InterfaceOnly = true;
            read.References = false;
            read.IncludeDirs = options.IncludeDirs;
            const TUnitSymbols s = ReadUnitSymbols(u.FileName, read);
            d.Failure = s.Failure;
            for (const std::string& name : s.Declarations) {
                d.Names.insert(name);
                // [Test] stands for the class TestAttribute.
                if (name.size() > 9 && IsWord(name.substr(name.size() - 9), "Attribute"))
                    d.Names.insert(name.substr(0, name.size() - 9));
            }
            d.Needs = Flag(s.Register, krRegister) | Flag(s.Helper, krHelper) |
                      Flag(s.Operator, krOperator) | Flag(s.ClassConstructor, krInitialization);
        },
        options, done, total);

    std::vector<SourceRead> reads(units.size());
    ForEach(
        count, options.Jobs,
        [&](int i) {
            const size_t a = static_cast<size_t>(i);
            const TUnit& u = *units[a];
            SourceRead& r = reads[a];
            if (!wanted[a] || !UnreadReason(u).empty() || u.Kind == ukPackage)
                return;
            const bool judge = judged(u);
            std::vector<TNameSet> qualifiers;
            TNameSet heads;
            for (int k = 0; judge && k < u.Uses.Count(); ++k) {
                const int b = targets[a][static_cast<size_t>(k)];
                qualifiers.push_back(
                    Qualifiers({u.Uses[k], scan.ResolvedName(u.Uses[k]),
                                b < 0 ? u.Uses[k] : units[static_cast<size_t>(b)]->UnitName}));
                for (const std::string& q : qualifiers.back())
                    heads.insert(q.substr(0, q.find('.')));
            }
            TSymbolOptions read;
            read.References = judge;
            read.QualifierHeads = &heads;
            read.IncludeDirs = options.IncludeDirs;
            const TUnitSymbols s = ReadUnitSymbols(u.FileName, read);
            r.StartUp = Flag(s.Initialization || s.ClassConstructor, krInitialization);
            r.Failure = s.Failure;
            r.Size = s.Size;
            r.Fingerprint = s.Fingerprint;
            if (!judge)
                return;
            for (const std::string& inc : s.MissingIncludes) {
                r.Notes.push_back("the include file " + inc + " was not found");
                if (r.Incomplete.empty())
                    r.Incomplete =
                        "the include file " + inc + " was not found: its references are unknown";
            }
            std::vector<std::tuple<std::string, std::string, int>> formNames;
            bool formUnread = false;
            for (const std::string& file : s.FormFiles) {
                TFormNames f = ReadFormFile(file);
                if (!f.Problem.empty()) {
                    r.Notes.push_back(f.Problem + ": the entries are kept (form)");
                    formUnread = true;
                }
                for (auto& [name, line] : f.Names)
                    formNames.emplace_back(std::move(name), file, line);
            }
            r.Entries.resize(static_cast<size_t>(u.Uses.Count()));
            std::unordered_multimap<int, size_t> itemsByLine;
            for (size_t i = 0; i < s.UsesItems.size(); ++i)
                itemsByLine.emplace(s.UsesItems[i].Site.Line, i);
            for (int k = 0; k < u.Uses.Count(); ++k) {
                EntryRead& e = r.Entries[static_cast<size_t>(k)];
                const TUseSite& site = u.UseSites[static_cast<size_t>(k)];
                const std::string& file = site.File.empty() ? u.FileName : site.File;
                for (auto [it, end] = itemsByLine.equal_range(site.Line); it != end; ++it) {
                    const TUsesItem& item = s.UsesItems[it->second];
                    if (FoldedEqual()(item.Name, u.Uses[k]) && s.Files[item.Site.File] == file) {
                        e.InClause = item.InClause;
                        e.Marked = item.Marked;
                    }
                }
                const int b = targets[a][static_cast<size_t>(k)];
                if (b < 0)
                    continue;
                const TNameSet& declared = declarations[static_cast<size_t>(b)].Names;
                const TNameSet& qualifier = qualifiers[static_cast<size_t>(k)];
                for (const TReference& ref : s.References) {
                    if (!declared.count(ref.Name) && !qualifier.count(ref.Name))
                        continue;
                    e.Identifiers.push_back(ref.Name);
                    for (int sec = 0; sec < 2; ++sec) {
                        e.Uses[sec] += ref.Count[sec];
                        if (ref.Count[sec])
                            e.Evidence[sec].emplace_back(ref.Order[sec], ref.Name,
                                                         s.Files[ref.First[sec].File],
                                                         ref.First[sec].Line);
                    }
                }
                for (auto& candidates : e.Evidence)
                    if (candidates.size() > 3) {
                        std::partial_sort(candidates.begin(), candidates.begin() + 3,
                                          candidates.end());
                        candidates.resize(3);
                    }
                e.FormNeeds = Flag(formUnread, krForm);
                for (const auto& [name, formFile, line] : formNames)
                    if (declared.count(name)) {
                        e.FormNeeds = krForm;
                        if (e.FormEvidence.size() < 3)
                            e.FormEvidence.push_back({name, formFile, line});
                    }
            }
        },
        options, done, total);

    for (size_t a = 0; a < units.size(); ++a) {
        const TUnit& u = *units[a];
        if (!judged(u))
            continue;
        TUnitHygiene& h = result.FUnits[&u];
        SourceRead& r = reads[a];
        h.InProject = IsInTree(u.FileName, scan.FProjectDir);
        h.Size = r.Size;
        h.Fingerprint = r.Fingerprint;
        h.Notes = std::move(r.Notes);
        const std::string unread = UnreadReason(u);
        for (int k = 0; k < u.Uses.Count(); ++k) {
            const size_t ks = static_cast<size_t>(k);
            TEntryFacts f;
            f.UnitKind = u.Kind;
            f.Interface = u.Uses.Objects(k) != 0;
            f.Incomplete = r.Incomplete;
            const int b = targets[a][ks];
            if (!unread.empty())
                f.Unknown = "this unit could not be parsed: " + unread;
            else if (!r.Failure.empty())
                f.Unknown = "this unit could not be read: " + r.Failure;
            else if (b < 0)
                f.Unknown = missing[a][ks];
            else if (const std::string& bad = declarations[static_cast<size_t>(b)].Failure;
                     !bad.empty())
                f.Unknown = units[static_cast<size_t>(b)]->UnitName + " could not be read: " + bad;
            else if (!reads[static_cast<size_t>(b)].Failure.empty())
                f.Unknown = units[static_cast<size_t>(b)]->UnitName +
                            " could not be read: " + reads[static_cast<size_t>(b)].Failure;
            TEntryHygiene& out = h.Entries.emplace_back();
            if (ks < r.Entries.size()) {
                EntryRead& e = r.Entries[ks];
                f.InClause = e.InClause;
                f.Marked = e.Marked;
                f.Uses[0] = e.Uses[0];
                f.Uses[1] = e.Uses[1];
                f.Needs = e.FormNeeds;
                out.ReferenceCount = e.Uses[0] + e.Uses[1];
                out.Identifiers = std::move(e.Identifiers);
            }
            if (b >= 0)
                f.Needs |= declarations[static_cast<size_t>(b)].Needs |
                           reads[static_cast<size_t>(b)].StartUp;
            const TJudgement j = JudgeEntry(f);
            out.Verdict = j.Verdict;
            out.Reasons = j.Reasons;
            out.Note = j.Note;
            if (ks >= r.Entries.size())
                continue;
            EntryRead& e = r.Entries[ks];
            const bool interfaceFirst = f.Interface && u.Kind == ukUnit;
            if (j.Verdict == TVerdict::Move)
                out.Evidence = Best(std::move(e.Evidence[1]));
            else if (j.Reasons & krUsed)
                out.Evidence =
                    Best(std::move(e.Evidence[interfaceFirst || e.Evidence[1].empty() ? 0 : 1]));
            else if (j.Reasons & krForm)
                out.Evidence = std::move(e.FormEvidence);
        }
    }
    return result;
}

} // namespace ut
