// The hygiene of a scan in three passes: the interface of every unit for its declarations;
// every source whole for its references (kept only where they name a declaration of a unit
// the source uses, or qualify with its name) and its start-up code; then the verdicts.
// Sources are read by several threads; what one source's reading needs stays with it.
#include "symbols/Hygiene.h"

#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "symbols/FormFile.h"
#include "symbols/HygieneTables.h"
#include "symbols/UnitSymbols.h"

#include <algorithm>
#include <tuple>

namespace ut {

namespace {

using namespace hygiene;

/// Per entry of a judged unit, between its reading and its verdict.
struct EntryBits {
    bool InClause = false, Marked = false, Form = false;
    std::uint8_t Candidates[3] = {0, 0, 0}; ///< evidence of the interface, body, form
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

/// The pairs of `sorted` (ordered by their first) whose first is `key`.
template <class T> auto Matching(const std::vector<std::pair<int, T>>& sorted, int key) {
    return std::equal_range(sorted.begin(), sorted.end(), std::make_pair(key, T{}),
                            [](const auto& x, const auto& y) { return x.first < y.first; });
}

} // namespace

bool IsInTree(const std::string& path, const std::string& dir) {
    return !dir.empty() && path.size() > dir.size() &&
           fs::SamePath(path.substr(0, dir.size()), dir);
}

const std::string& TUnitHygiene::NoteOf(size_t k) const {
    static const std::string none;
    return Entries[k].Note < 0 ? none : EntryNotes[static_cast<size_t>(Entries[k].Note)];
}

const TUnitHygiene* THygiene::Of(const TUnit* unit) const {
    const auto it = std::lower_bound(FUnits.begin(), FUnits.end(), unit,
                                     [](const auto& x, const TUnit* u) { return x.first < u; });
    return it == FUnits.end() || it->first != unit ? nullptr : &it->second;
}

THygiene THygiene::Judge(const ProjectScan& scan, const THygieneOptions& options) {
    THygiene result;
    result.FProjectDir = scan.FProjectDir;
    fs::ListingCacheScope listings;
    const auto includes = std::make_shared<TIncludeFinder>(options.IncludeDirs);
    const int count = scan.FUnits.Count();
    const size_t n = static_cast<size_t>(count);
    std::vector<const TUnit*> units(n);
    std::vector<std::pair<const TUnit*, int>> index(n);
    for (int i = 0; i < count; ++i)
        index[static_cast<size_t>(i)] = {
            units[static_cast<size_t>(i)] = scan.FUnits.Objects(i).get(), i};
    std::sort(index.begin(), index.end());

    // The unit each entry names: -1 ignored, -2 not found; the entries of unit a are
    // first[a] .. first[a + 1] - 1. Most names are used by many units.
    std::vector<int> target;
    std::vector<size_t> first(n + 1);
    {
        TNameMap<int> named;
        for (size_t a = 0; a < n; ++a) {
            first[a] = target.size();
            for (int k = 0; k < units[a]->Uses.Count(); ++k) {
                const std::string& name = units[a]->Uses[k];
                auto [it, added] = named.emplace(name, -1);
                if (added && !scan.IsIgnored(name)) {
                    const TUnit* b = scan.FindUsedUnit(name);
                    it->second =
                        b ? std::lower_bound(index.begin(), index.end(), std::make_pair(b, 0))
                                ->second
                          : -2;
                }
                target.push_back(it->second);
            }
        }
        first[n] = target.size();
    }
    // The units judged (their results made before the threads write into them) and those
    // they name are read; no other.
    std::vector<char> wanted(n);
    size_t judgedCount = 0;
    for (size_t a = 0; a < n; ++a)
        if (options.AllUnits || IsInTree(units[a]->FileName, scan.FProjectDir)) {
            ++judgedCount;
            wanted[a] = 2;
            for (size_t e = first[a]; e < first[a + 1]; ++e)
                if (target[e] >= 0 && !wanted[static_cast<size_t>(target[e])])
                    wanted[static_cast<size_t>(target[e])] = 1;
        }
    result.FUnits.reserve(judgedCount);
    for (size_t a = 0; a < n; ++a)
        if (wanted[a] == 2)
            result.FUnits.emplace_back(units[a], TUnitHygiene{});
    std::sort(result.FUnits.begin(), result.FUnits.end(),
              [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<TUnitHygiene*> judged(n);
    for (size_t a = 0; a < n; ++a)
        if (wanted[a] == 2)
            judged[a] = const_cast<TUnitHygiene*>(result.Of(units[a]));
    int done = 0;
    const int total = 2 * count;

    // As a used unit: what it needs kept for, why its declarations or start-up code are
    // unknown, an include file of its interface not found.
    std::vector<std::uint8_t> needs(n);
    SparseTexts failure, unknownInterface;
    std::vector<std::vector<std::string>> declarations(n);
    ForEach(
        count, options.Jobs,
        [&](int i) {
            const size_t b = static_cast<size_t>(i);
            const TUnit& u = *units[b];
            const std::string unread = UnreadReason(u);
            if (!wanted[b] || !unread.empty() || u.Kind != ukUnit) {
                failure.Set(b, unread.empty() ? "not a unit" : unread);
                return;
            }
            TSymbolOptions read;
            read.InterfaceOnly = true;
            read.References = false;
            read.Includes = includes;
            TUnitSymbols s = ReadUnitSymbols(u.FileName, read);
            failure.Set(b, s.Failure);
            if (!s.MissingIncludes.empty())
                unknownInterface.Set(b, "the include file " + s.MissingIncludes[0] + " of " +
                                            u.UnitName +
                                            " was not found: its declarations are unknown");
            declarations[b] = std::move(s.Declarations);
            needs[b] = static_cast<std::uint8_t>(
                Flag(s.Register, krRegister) | Flag(s.Helper, krHelper) |
                Flag(s.Operator, krOperator) | Flag(s.ClassConstructor, krInitialization));
        },
        options, done, total);
    // Each declared name with the units declaring it.
    Declarers declaredBy;
    for (size_t b = 0; b < n; ++b) {
        for (const std::string& name : declarations[b]) {
            // [Test] stands for the class TestAttribute.
            const bool attribute =
                name.size() > 9 && IsWord(name.substr(name.size() - 9), "Attribute");
            for (const std::string& key :
                 {name, attribute ? name.substr(0, name.size() - 9) : name}) {
                declaredBy.Add(key, static_cast<int>(b));
            }
        }
        std::vector<std::string>().swap(declarations[b]);
    }
    std::vector<std::vector<std::string>>().swap(declarations);

    // As a judged unit: why it could not be read, an include file not found, the entries.
    SparseTexts readFailure, incomplete;
    std::vector<EntryBits> bits(target.size());
    ForEach(
        count, options.Jobs,
        [&](int i) {
            const size_t a = static_cast<size_t>(i);
            const TUnit& u = *units[a];
            if (!wanted[a] || !UnreadReason(u).empty() || u.Kind == ukPackage)
                return;
            TUnitHygiene* h = judged[a];
            const size_t entries = static_cast<size_t>(u.Uses.Count());
            // Which entries a unit or a qualifying name leads to.
            std::vector<std::pair<int, int>> entriesOf; // (unit, entry), sorted
            TNameMap<std::vector<int>> qualifiers;
            TNameSet heads;
            for (size_t k = 0; h && k < entries; ++k) {
                const int b = target[first[a] + k];
                if (b < 0)
                    continue;
                entriesOf.emplace_back(b, static_cast<int>(k));
                const std::string& name = u.Uses[static_cast<int>(k)];
                AddQualifiers(
                    qualifiers,
                    {name, scan.ResolvedName(name), units[static_cast<size_t>(b)]->UnitName},
                    static_cast<int>(k));
            }
            std::sort(entriesOf.begin(), entriesOf.end());
            for (const auto& [q, listed] : qualifiers)
                heads.insert(q.substr(0, q.find('.')));
            TSymbolOptions read;
            read.References = h != nullptr;
            read.QualifierHeads = &heads;
            read.Includes = includes;
            const TUnitSymbols s = ReadUnitSymbols(u.FileName, read);
            needs[a] |= static_cast<std::uint8_t>(
                Flag(s.Initialization || s.ClassConstructor, krInitialization));
            if (!s.Failure.empty() && failure.Get(a).empty())
                failure.Set(a, s.Failure);
            readFailure.Set(a, s.Failure);
            if (!h)
                return;
            h->Size = s.Size;
            h->Fingerprint = s.Fingerprint;
            for (const std::string& inc : s.MissingIncludes) {
                h->Notes.push_back("the include file " + inc + " was not found");
                if (incomplete.Get(a).empty())
                    incomplete.Set(a, "the include file " + inc +
                                          " was not found: its references are unknown");
            }
            h->Entries.resize(entries);
            std::vector<std::vector<Candidate>> candidates(3 * entries);
            std::vector<std::vector<std::string>> identifiers(entries);
            std::vector<size_t> lastReference(entries, SIZE_MAX);
            auto credit = [&](int k, size_t ri) {
                const size_t e = static_cast<size_t>(k);
                if (lastReference[e] == ri)
                    return; // a name both declared by B and qualifying with it
                lastReference[e] = ri;
                const TReference& ref = s.References[ri];
                identifiers[e].push_back(ref.Name);
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
                for (const int b : declaredBy.Of(name))
                    for (auto [it, end] = Matching(entriesOf, b); it != end; ++it)
                        credit(it->second, ri);
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
                    for (const int b : declaredBy.Of(name))
                        for (auto [it, end] = Matching(entriesOf, b); it != end; ++it) {
                            const size_t k = static_cast<size_t>(it->second);
                            bits[first[a] + k].Form = true;
                            candidates[3 * k + 2].emplace_back(static_cast<std::uint32_t>(line),
                                                               name, file, line);
                        }
            }
            std::vector<std::pair<int, size_t>> itemsByLine; // (line, item), sorted
            for (size_t j = 0; j < s.UsesItems.size(); ++j)
                itemsByLine.emplace_back(s.UsesItems[j].Site.Line, j);
            std::sort(itemsByLine.begin(), itemsByLine.end());
            for (size_t e = 0; e < entries; ++e) {
                EntryBits& entry = bits[first[a] + e];
                entry.Form = entry.Form || formUnread;
                const TUseSite& site = u.UseSites[e];
                const std::string& file = site.File.empty() ? u.FileName : site.File;
                for (auto [it, end] = Matching(itemsByLine, site.Line); it != end; ++it) {
                    const TUsesItem& item = s.UsesItems[it->second];
                    if (FoldedEqual()(item.Name, u.Uses[static_cast<int>(e)]) &&
                        s.Files[item.Site.File] == file) {
                        entry.InClause = item.InClause;
                        entry.Marked = item.Marked;
                    }
                }
                TEntryHygiene& out = h->Entries[e];
                out.IdentifiersFirst = static_cast<std::uint32_t>(h->Identifiers.size());
                out.IdentifierCount = static_cast<std::uint32_t>(identifiers[e].size());
                for (std::string& id : identifiers[e])
                    h->Identifiers.push_back(std::move(id));
                // The candidates wait in the evidence, in the order interface, body, form.
                out.EvidenceFirst = static_cast<std::uint32_t>(h->Evidence.size());
                for (size_t c = 0; c < 3; ++c) {
                    std::vector<Candidate>& list = candidates[3 * e + c];
                    std::sort(list.begin(), list.end());
                    list.resize(std::min<size_t>(list.size(), 3));
                    entry.Candidates[c] = static_cast<std::uint8_t>(list.size());
                    for (auto& [order, name, where, line] : list)
                        h->Evidence.push_back({std::move(name), std::move(where), line});
                }
            }
        },
        options, done, total);
    declaredBy = Declarers();

    for (size_t a = 0; a < n; ++a) {
        if (!judged[a])
            continue;
        const TUnit& u = *units[a];
        TUnitHygiene& h = *judged[a];
        h.InProject = IsInTree(u.FileName, scan.FProjectDir);
        h.Entries.resize(first[a + 1] - first[a]);
        const std::string unread = UnreadReason(u), unreadHere = readFailure.Get(a),
                          incompleteHere = incomplete.Get(a);
        std::vector<TEvidence> evidence;
        for (size_t k = 0; k < h.Entries.size(); ++k) {
            TEntryHygiene& out = h.Entries[k];
            const EntryBits& entry = bits[first[a] + k];
            const int b = target[first[a] + k];
            const size_t bs = static_cast<size_t>(b);
            TEntryFacts f;
            f.UnitKind = u.Kind;
            f.Interface = u.Uses.Objects(static_cast<int>(k)) != 0;
            f.Incomplete = !incompleteHere.empty() ? incompleteHere
                           : b >= 0                ? unknownInterface.Get(bs)
                                                   : "";
            if (!unread.empty())
                f.Unknown = "this unit could not be parsed: " + unread;
            else if (!unreadHere.empty())
                f.Unknown = "this unit could not be read: " + unreadHere;
            else if (b < 0)
                f.Unknown = b == -1 ? "ignored" : "not found";
            else if (const std::string bad = failure.Get(bs); !bad.empty())
                f.Unknown = units[bs]->UnitName + " could not be read: " + bad;
            f.InClause = entry.InClause;
            f.Marked = entry.Marked;
            f.Uses[0] = out.Uses[0];
            f.Uses[1] = out.Uses[1];
            f.Needs = Flag(entry.Form, krForm) | (b >= 0 ? needs[bs] : 0u);
            const TJudgement j = JudgeEntry(f);
            out.Verdict = j.Verdict;
            out.Reasons = static_cast<std::uint8_t>(j.Reasons);
            if (!j.Note.empty()) {
                const auto at = std::find(h.EntryNotes.begin(), h.EntryNotes.end(), j.Note);
                out.Note = static_cast<std::int32_t>(at - h.EntryNotes.begin());
                if (at == h.EntryNotes.end())
                    h.EntryNotes.push_back(j.Note);
            }
            // The evidence: the uses that keep or would move it, or the form's names.
            const std::uint8_t* c = entry.Candidates;
            const bool interfaceFirst = f.Interface && u.Kind == ukUnit;
            size_t from = 0, length = 0;
            if (j.Verdict == TVerdict::Move || ((j.Reasons & krUsed) && !interfaceFirst && c[1]))
                from = c[0], length = c[1];
            else if (j.Reasons & krUsed)
                length = c[0];
            else if (j.Reasons & krForm)
                from = c[0] + c[1], length = c[2];
            const size_t at = out.EvidenceFirst + from;
            out.EvidenceFirst = static_cast<std::uint32_t>(evidence.size());
            out.EvidenceCount = static_cast<std::uint8_t>(length);
            for (size_t e = at; e < at + length; ++e)
                evidence.push_back(std::move(h.Evidence[e]));
        }
        h.Evidence.swap(evidence);
    }
    return result;
}

} // namespace ut
