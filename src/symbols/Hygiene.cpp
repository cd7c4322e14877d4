// The hygiene of a scan in three passes: the interface of every unit for its declarations;
// every source whole for its references (kept only where they name a declaration of a unit
// the source uses, or qualify with its name) and its start-up code; then the verdicts.
// Sources are read by several threads; what one source's reading needs stays with it.
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

/// What is known of a unit as one that others use.
struct UsedFacts {
    unsigned Needs = 0;                    ///< krRegister, krHelper, krOperator, krInitialization
    std::string Failure;                   ///< why its declarations or start-up code are not known
    std::string Incomplete;                ///< an include file of its interface that was not found
    std::vector<std::string> Declarations; ///< until the names are collected
};

/// Per entry of a judged unit, between its reading and its verdict.
struct EntryBits {
    bool InClause = false, Marked = false, Form = false;
    std::uint8_t Candidates[3] = {0, 0, 0}; ///< evidence of the interface, body, form
};

struct SourceRead {
    std::string Failure, Incomplete;
    std::vector<EntryBits> Entries;
};

/// One candidate for the evidence: token order, identifier, file, line.
using Candidate = std::tuple<std::uint32_t, std::string, std::string, int>;

unsigned Flag(bool on, TKeepReason reason) {
    return on ? reason : 0u;
}

std::string UnreadReason(const TUnit& u) {
    if (!u.ParseError.empty())
        return u.ParseError;
    return u.Kind == ukNone ? "no unit, program, library or package header" : "";
}

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

// Adds the names a reference may qualify B with, each leading to `entry`: as written, as
// resolved, B's own name, and each without its leading scopes ("Forms" for "Vcl.Forms").
void AddQualifiers(TNameMap<std::vector<int>>& map, const std::vector<std::string>& names,
                   int entry) {
    for (const std::string& n : names)
        for (size_t from = 0; from != std::string::npos;) {
            std::vector<int>& entries = map[n.substr(from)];
            if (entries.empty() || entries.back() != entry)
                entries.push_back(entry);
            const size_t dot = n.find('.', from);
            from = dot == std::string::npos ? dot : dot + 1;
        }
}

/// The evidence candidates kept: the first three in source order.
void KeepFirst(std::vector<Candidate>& candidates) {
    std::sort(candidates.begin(), candidates.end());
    if (candidates.size() > 3)
        candidates.resize(3);
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
    const auto includes = std::make_shared<TIncludeFinder>(options.IncludeDirs);
    const int count = scan.FUnits.Count();
    const size_t n = static_cast<size_t>(count);
    std::vector<const TUnit*> units(n);
    std::unordered_map<const TUnit*, int> index;
    index.reserve(n);
    for (int i = 0; i < count; ++i)
        index[units[static_cast<size_t>(i)] = scan.FUnits.Objects(i).get()] = i;

    // The unit each entry names: -1 ignored, -2 not found. Most names are used by many.
    std::vector<std::vector<int>> targets(n);
    TNameMap<int> named;
    for (size_t a = 0; a < n; ++a)
        for (int k = 0; k < units[a]->Uses.Count(); ++k) {
            const std::string& name = units[a]->Uses[k];
            auto [it, added] = named.emplace(name, -1);
            if (added && !scan.IsIgnored(name)) {
                const TUnit* b = scan.FindUsedUnit(name);
                it->second = b ? index[b] : -2;
            }
            targets[a].push_back(it->second);
        }
    // The units judged (their slots made before the threads write into them) and those
    // they name are read; no other.
    std::vector<TUnitHygiene*> judged(n);
    std::vector<char> wanted(n);
    for (size_t a = 0; a < n; ++a)
        if (options.AllUnits || IsInTree(units[a]->FileName, scan.FProjectDir)) {
            judged[a] = &result.FUnits[units[a]];
            wanted[a] = 1;
            for (const int b : targets[a])
                if (b >= 0)
                    wanted[static_cast<size_t>(b)] = 1;
        }
    int done = 0;
    const int total = 2 * count;

    std::vector<UsedFacts> used(n);
    ForEach(
        count, options.Jobs,
        [&](int i) {
            const TUnit& u = *units[static_cast<size_t>(i)];
            UsedFacts& d = used[static_cast<size_t>(i)];
            d.Failure = UnreadReason(u);
            if (!wanted[static_cast<size_t>(i)] || !d.Failure.empty() || u.Kind != ukUnit) {
                d.Failure = d.Failure.empty() ? "not a unit" : d.Failure;
                return;
            }
            TSymbolOptions read;
            read.InterfaceOnly = true;
            read.References = false;
            read.Includes = includes;
            TUnitSymbols s = ReadUnitSymbols(u.FileName, read);
            d.Failure = s.Failure;
            if (!s.MissingIncludes.empty())
                d.Incomplete = "the include file " + s.MissingIncludes[0] + " of " + u.UnitName +
                               " was not found: its declarations are unknown";
            d.Declarations = std::move(s.Declarations);
            d.Needs = Flag(s.Register, krRegister) | Flag(s.Helper, krHelper) |
                      Flag(s.Operator, krOperator) | Flag(s.ClassConstructor, krInitialization);
        },
        options, done, total);
    // Each declared name with the units declaring it.
    TNameMap<std::vector<int>> declaredBy;
    for (size_t b = 0; b < n; ++b) {
        for (const std::string& name : used[b].Declarations) {
            // [Test] stands for the class TestAttribute.
            const bool attribute =
                name.size() > 9 && IsWord(name.substr(name.size() - 9), "Attribute");
            for (const std::string& key :
                 {name, attribute ? name.substr(0, name.size() - 9) : name}) {
                std::vector<int>& by = declaredBy[key];
                if (by.empty() || by.back() != static_cast<int>(b))
                    by.push_back(static_cast<int>(b));
            }
        }
        std::vector<std::string>().swap(used[b].Declarations);
    }

    std::vector<SourceRead> reads(n);
    ForEach(
        count, options.Jobs,
        [&](int i) {
            const size_t a = static_cast<size_t>(i);
            const TUnit& u = *units[a];
            if (!wanted[a] || !UnreadReason(u).empty() || u.Kind == ukPackage)
                return;
            TUnitHygiene* h = judged[a];
            // Which entries a unit or a qualifying name leads to.
            std::unordered_map<int, std::vector<int>> entriesOf;
            TNameMap<std::vector<int>> qualifiers;
            TNameSet heads;
            for (int k = 0; h && k < u.Uses.Count(); ++k) {
                const int b = targets[a][static_cast<size_t>(k)];
                if (b < 0)
                    continue;
                entriesOf[b].push_back(k);
                AddQualifiers(qualifiers,
                              {u.Uses[k], scan.ResolvedName(u.Uses[k]),
                               units[static_cast<size_t>(b)]->UnitName},
                              k);
            }
            for (const auto& [q, entries] : qualifiers)
                heads.insert(q.substr(0, q.find('.')));
            TSymbolOptions read;
            read.References = h != nullptr;
            read.QualifierHeads = &heads;
            read.Includes = includes;
            const TUnitSymbols s = ReadUnitSymbols(u.FileName, read);
            used[a].Needs |= Flag(s.Initialization || s.ClassConstructor, krInitialization);
            if (!s.Failure.empty() && used[a].Failure.empty())
                used[a].Failure = s.Failure;
            SourceRead& r = reads[a];
            r.Failure = s.Failure;
            if (!h)
                return;
            h->Size = s.Size;
            h->Fingerprint = s.Fingerprint;
            for (const std::string& inc : s.MissingIncludes) {
                h->Notes.push_back("the include file " + inc + " was not found");
                if (r.Incomplete.empty())
                    r.Incomplete =
                        "the include file " + inc + " was not found: its references are unknown";
            }
            const size_t entries = static_cast<size_t>(u.Uses.Count());
            h->Entries.resize(entries);
            r.Entries.resize(entries);
            std::vector<std::vector<Candidate>> candidates(3 * entries);
            std::vector<size_t> lastReference(entries, SIZE_MAX);
            auto credit = [&](int k, size_t ri) {
                const size_t e = static_cast<size_t>(k);
                if (lastReference[e] == ri)
                    return; // a name both declared by B and qualifying with it
                lastReference[e] = ri;
                const TReference& ref = s.References[ri];
                h->Entries[e].Identifiers.push_back(ref.Name);
                for (int sec = 0; sec < 2; ++sec) {
                    h->Entries[e].Uses[sec] += ref.Count[sec];
                    if (ref.Count[sec])
                        candidates[3 * e + static_cast<size_t>(sec)].emplace_back(
                            ref.Order[sec], ref.Name, s.Files[ref.First[sec].File],
                            ref.First[sec].Line);
                }
            };
            for (size_t ri = 0; ri < s.References.size(); ++ri) {
                const std::string& name = s.References[ri].Name;
                if (const auto d = declaredBy.find(name); d != declaredBy.end())
                    for (const int b : d->second)
                        if (const auto it = entriesOf.find(b); it != entriesOf.end())
                            for (const int k : it->second)
                                credit(k, ri);
                if (const auto q = qualifiers.find(name); q != qualifiers.end())
                    for (const int k : q->second)
                        credit(k, ri);
            }
            // A class or value of the form files that B declares; an unreadable form
            // keeps every entry.
            bool formUnread = false;
            for (const std::string& file : s.FormFiles) {
                const TFormNames f = ReadFormFile(file);
                if (!f.Problem.empty()) {
                    h->Notes.push_back(f.Problem + ": the entries are kept (form)");
                    formUnread = true;
                }
                for (const auto& [name, line] : f.Names)
                    if (const auto d = declaredBy.find(name); d != declaredBy.end())
                        for (const int b : d->second)
                            if (const auto it = entriesOf.find(b); it != entriesOf.end())
                                for (const int k : it->second) {
                                    r.Entries[static_cast<size_t>(k)].Form = true;
                                    candidates[3 * static_cast<size_t>(k) + 2].emplace_back(
                                        static_cast<std::uint32_t>(line), name, file, line);
                                }
            }
            std::unordered_multimap<int, size_t> itemsByLine;
            for (size_t j = 0; j < s.UsesItems.size(); ++j)
                itemsByLine.emplace(s.UsesItems[j].Site.Line, j);
            for (size_t e = 0; e < entries; ++e) {
                EntryBits& bits = r.Entries[e];
                bits.Form = bits.Form || formUnread;
                const TUseSite& site = u.UseSites[e];
                const std::string& file = site.File.empty() ? u.FileName : site.File;
                for (auto [it, end] = itemsByLine.equal_range(site.Line); it != end; ++it) {
                    const TUsesItem& item = s.UsesItems[it->second];
                    if (FoldedEqual()(item.Name, u.Uses[static_cast<int>(e)]) &&
                        s.Files[item.Site.File] == file) {
                        bits.InClause = item.InClause;
                        bits.Marked = item.Marked;
                    }
                }
                // The candidates wait in the evidence, in the order interface, body, form.
                for (size_t c = 0; c < 3; ++c) {
                    std::vector<Candidate>& list = candidates[3 * e + c];
                    KeepFirst(list);
                    bits.Candidates[c] = static_cast<std::uint8_t>(list.size());
                    for (auto& [order, name, file, line] : list)
                        h->Entries[e].Evidence.push_back({std::move(name), std::move(file), line});
                }
            }
        },
        options, done, total);

    for (size_t a = 0; a < n; ++a) {
        if (!judged[a])
            continue;
        const TUnit& u = *units[a];
        TUnitHygiene& h = *judged[a];
        const SourceRead& r = reads[a];
        h.InProject = IsInTree(u.FileName, scan.FProjectDir);
        h.Entries.resize(static_cast<size_t>(u.Uses.Count()));
        const std::string unread = UnreadReason(u);
        for (size_t k = 0; k < h.Entries.size(); ++k) {
            TEntryHygiene& out = h.Entries[k];
            const int b = targets[a][k];
            const UsedFacts* facts = b < 0 ? nullptr : &used[static_cast<size_t>(b)];
            TEntryFacts f;
            f.UnitKind = u.Kind;
            f.Interface = u.Uses.Objects(static_cast<int>(k)) != 0;
            f.Incomplete = !r.Incomplete.empty() ? r.Incomplete : facts ? facts->Incomplete : "";
            if (!unread.empty())
                f.Unknown = "this unit could not be parsed: " + unread;
            else if (!r.Failure.empty())
                f.Unknown = "this unit could not be read: " + r.Failure;
            else if (!facts)
                f.Unknown = b == -1 ? "ignored" : "not found";
            else if (!facts->Failure.empty())
                f.Unknown = units[static_cast<size_t>(b)]->UnitName +
                            " could not be read: " + facts->Failure;
            EntryBits bits;
            if (k < r.Entries.size())
                bits = r.Entries[k];
            f.InClause = bits.InClause;
            f.Marked = bits.Marked;
            f.Uses[0] = out.Uses[0];
            f.Uses[1] = out.Uses[1];
            f.Needs = Flag(bits.Form, krForm) | (facts ? facts->Needs : 0u);
            const TJudgement j = JudgeEntry(f);
            out.Verdict = j.Verdict;
            out.Reasons = j.Reasons;
            out.Note = j.Note;
            // The evidence: the uses that keep or would move it, or the form's names.
            const bool interfaceFirst = f.Interface && u.Kind == ukUnit;
            size_t from = 0, length = 0;
            if (j.Verdict == TVerdict::Move)
                from = bits.Candidates[0], length = bits.Candidates[1];
            else if ((j.Reasons & krUsed) && (interfaceFirst || bits.Candidates[1] == 0))
                length = bits.Candidates[0];
            else if (j.Reasons & krUsed)
                from = bits.Candidates[0], length = bits.Candidates[1];
            else if (j.Reasons & krForm)
                from = bits.Candidates[0] + bits.Candidates[1], length = bits.Candidates[2];
            std::vector<TEvidence> evidence(out.Evidence.begin() + static_cast<long>(from),
                                            out.Evidence.begin() +
                                                static_cast<long>(from + length));
            out.Evidence.swap(evidence);
        }
    }
    return result;
}

} // namespace ut
