#include "symbols/UsesEdit.h"

#include "scanner/DirectiveKind.h"
#include "scanner/Tokenizer.h"
#include "symbols/Names.h"

#include <algorithm>

namespace ut {

namespace {

struct Item {
    std::string Name;
    int Line = 0;
    size_t Start = 0, End = 0; ///< the name (and its `in '...'` clause)
    int Depth = 0;             ///< conditional branches open around it
    size_t Piece = 0;          ///< its index in the clause's pieces
};

/// The tokens of a uses list that decide what can go with an entry: entries, commas, and
/// directives (which no edit may cross). Comments are neither.
enum class Piece { Item, Comma, Directive };

struct Clause {
    size_t Start = 0, End = 0; ///< from `uses` to after its ';'
    size_t Semicolon = 0;
    bool Implementation = false;
    bool Complete = false; ///< its ';' stands in this file
    bool Odd = false;      ///< it holds a token no uses list holds
    bool Include = false;  ///< it reads an include file
    bool Directives = false;
    int Depth = 0;
    std::vector<Item> Items;
    std::vector<std::pair<Piece, size_t>> Pieces; ///< kind and item index or comma offset
};

struct Layout {
    std::vector<Clause> Clauses;
    bool Implementation = false; ///< the keyword stands outside any conditional branch
    size_t ImplementationEnd = 0;
    bool ImplementationBlocked = false; ///< a branch or include before its first token
    int ImplementationClause = -1;
};

/// The start of the line of `at` when only blanks stand before it there, else npos.
size_t BlankLineStart(const std::string& text, size_t at) {
    while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t'))
        --at;
    return at == 0 || text[at - 1] == '\n' ? at : std::string::npos;
}

/// Past the blanks from `at` and the line end after them; `at` when more follows there.
size_t BlankLineEnd(const std::string& text, size_t at) {
    size_t p = at;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
        ++p;
    if (text.compare(p, 2, "\r\n") == 0)
        return p + 2;
    return p == text.size() || text[p] == '\n' ? std::min(p + 1, text.size()) : at;
}

Layout ReadLayout(const std::string& text, const std::string& fileName) {
    Layout l;
    TTokenizer t(text, fileName);
    int depth = 0, prev = toEOF;
    bool inClause = false, expectName = false, itemOpen = false, inString = false;
    bool afterImplementation = false, implementationSeen = false;
    for (int k = t.Token(); k != toEOF; prev = k, k = t.NextToken()) {
        Clause* c = inClause ? &l.Clauses.back() : nullptr;
        if (k == toComment || k == toLineComment) {
            const std::string_view s = t.TokenText();
            if (k == toLineComment || s.size() < 3 || (s[0] == '{' ? s[1] : s[2]) != '$') {
                k = prev; // a comment is transparent
                continue;
            }
            size_t wordEnd = 0;
            const TDirectiveKind d = DirectiveKindOf(t.CommentText(), wordEnd);
            const bool include = d == TDirectiveKind::Include;
            const bool branch = d >= TDirectiveKind::IfDef && d <= TDirectiveKind::EndIf;
            if (d == TDirectiveKind::EndIf)
                depth = std::max(0, depth - 1);
            else if (d >= TDirectiveKind::IfDef && d <= TDirectiveKind::If)
                ++depth;
            if (c) {
                c->Directives = true;
                c->Include = c->Include || include;
                c->Pieces.emplace_back(Piece::Directive, 0);
            }
            l.ImplementationBlocked =
                l.ImplementationBlocked || (afterImplementation && (branch || include));
            k = prev;
            continue;
        }
        if (c) {
            if (k == toSymbol && expectName) {
                c->Items.push_back({std::string(t.TokenText()), t.SourceLine(), t.TokenOffset(),
                                    t.TokenEnd(), depth, c->Pieces.size()});
                c->Pieces.emplace_back(Piece::Item, c->Items.size() - 1);
                expectName = false;
                itemOpen = true;
            } else if (k == toSymbol && itemOpen && prev == '.') {
                c->Items.back().Name.append(".").append(t.TokenText());
                c->Items.back().End = t.TokenEnd();
            } else if (k == toSymbol && itemOpen && IsWord(t.TokenText(), "in")) {
                inString = true;
            } else if ((k == toString || k == toWString) && inString) {
                c->Items.back().End = t.TokenEnd();
                inString = false;
            } else if (k == ',' || k == ';') {
                expectName = k == ',';
                itemOpen = inString = false;
                if (k == ',') {
                    c->Pieces.emplace_back(Piece::Comma, t.TokenOffset());
                } else {
                    c->Semicolon = t.TokenOffset();
                    c->End = t.TokenEnd();
                    c->Complete = true;
                    inClause = false;
                }
            } else if (k != '.') {
                c->Odd = true;
            }
            continue;
        }
        const bool first = afterImplementation;
        afterImplementation = false;
        if (k != toSymbol)
            continue;
        if (IsWord(t.TokenText(), "uses")) {
            if (first)
                l.ImplementationClause = static_cast<int>(l.Clauses.size());
            Clause& n = l.Clauses.emplace_back();
            n.Start = t.TokenOffset();
            n.Implementation = implementationSeen;
            n.Depth = depth;
            inClause = expectName = true;
            itemOpen = inString = false;
        } else if (!implementationSeen && IsWord(t.TokenText(), "implementation")) {
            implementationSeen = afterImplementation = true;
            l.Implementation = depth == 0;
            l.ImplementationEnd = t.TokenEnd();
        }
    }
    return l;
}

struct Want {
    size_t Item;
    bool Move;
};

/// The edits of one clause: `gone` items leave it (those that cannot are refused and
/// stay), `added` texts join its end.
void PlanClause(const std::string& text, const Clause& c, std::vector<Want> gone,
                const std::vector<std::string>& added, TUsesEdits& out,
                std::vector<Want>& refused) {
    const size_t n = c.Items.size();
    if (n == 0 || (gone.empty() && added.empty()))
        return;
    for (;;) {
        std::vector<char> leaves(n);
        for (const Want& w : gone)
            leaves[w.Item] = 1;
        if (std::count(leaves.begin(), leaves.end(), 1) == static_cast<long>(n)) {
            if (c.Directives) {
                refused.insert(refused.end(), gone.begin(), gone.end());
                gone.clear();
                continue;
            }
            std::string joined;
            for (const std::string& a : added)
                joined += (joined.empty() ? "" : ", ") + a;
            if (!added.empty()) {
                const size_t from = c.Items.front().Start;
                out.Edits.push_back({from, c.Items.back().End - from, joined});
                return;
            }
            // The whole list goes, with its lines when nothing else stands on them.
            const size_t from = std::min(c.Start, BlankLineStart(text, c.Start));
            const size_t to = BlankLineEnd(text, c.End);
            out.Edits.push_back({from, to - from, ""});
            return;
        }
        std::vector<TByteEdit> edits;
        std::vector<Want> stay;
        bool again = false;
        const size_t lastSurvivor = static_cast<size_t>(
            std::find(leaves.rbegin(), leaves.rend(), 0).base() - leaves.begin() - 1);
        for (const Want& w : gone) {
            const size_t i = w.Item;
            const auto at = c.Pieces.begin() + static_cast<long>(c.Items[i].Piece);
            const bool survivorAfter = i < lastSurvivor;
            const Item& item = c.Items[i];
            if (survivorAfter && at + 1 != c.Pieces.end() && (at + 1)->first == Piece::Comma) {
                // With the blanks after the comma; an entry alone on its line takes the line.
                size_t from = item.Start, to = (at + 1)->second + 1;
                const size_t lineEnd = BlankLineEnd(text, to);
                if (lineEnd != to && BlankLineStart(text, from) != std::string::npos) {
                    from = BlankLineStart(text, from);
                    to = lineEnd;
                } else {
                    while (to < text.size() && (text[to] == ' ' || text[to] == '\t'))
                        ++to;
                }
                edits.push_back({from, to - from, ""});
                stay.push_back(w);
            } else if (!survivorAfter && at != c.Pieces.begin() &&
                       (at - 1)->first == Piece::Comma) {
                edits.push_back({(at - 1)->second, item.End - (at - 1)->second, ""});
                stay.push_back(w);
            } else {
                // A directive stands between the entry and the comma that would go with it.
                refused.push_back(w);
                again = true;
            }
        }
        if (again) {
            gone.swap(stay); // the refused ones stay in the list: the others see them
            continue;
        }
        // Deletions that meet make one; one that ends its line takes the blanks before it.
        std::sort(edits.begin(), edits.end(),
                  [](const TByteEdit& a, const TByteEdit& b) { return a.Offset < b.Offset; });
        std::vector<TByteEdit> merged;
        for (const TByteEdit& e : edits)
            if (!merged.empty() && merged.back().Offset + merged.back().Length == e.Offset)
                merged.back().Length += e.Length;
            else
                merged.push_back(e);
        for (TByteEdit& d : merged)
            if (BlankLineEnd(text, d.Offset + d.Length) != d.Offset + d.Length)
                while (d.Offset > 0 && (text[d.Offset - 1] == ' ' || text[d.Offset - 1] == '\t'))
                    --d.Offset, ++d.Length;
        edits.swap(merged);
        out.Edits.insert(out.Edits.end(), edits.begin(), edits.end());
        std::string joined;
        for (const std::string& a : added)
            joined += ", " + a;
        if (!joined.empty())
            out.Edits.push_back({c.Semicolon, 0, joined});
        return;
    }
}

} // namespace

TUsesEdits PlanUsesEdits(const std::string& text, const std::string& fileName,
                         const std::vector<TUsesChange>& changes) {
    const Layout l = ReadLayout(text, fileName);
    TUsesEdits out;
    std::vector<std::vector<Want>> gone(l.Clauses.size());
    auto refuse = [&](const std::string& name, int line, const char* reason) {
        out.Refused.push_back({name, line, reason});
    };
    auto find = [&l](const TUsesChange& change, size_t& ci, size_t& ii) {
        for (ci = 0; ci < l.Clauses.size(); ++ci)
            for (ii = 0; ii < l.Clauses[ci].Items.size(); ++ii)
                if (l.Clauses[ci].Items[ii].Line == change.Line &&
                    FoldedEqual()(l.Clauses[ci].Items[ii].Name, change.Name))
                    return true;
        return false;
    };
    for (const TUsesChange& change : changes) {
        size_t ci = 0, ii = 0;
        if (!find(change, ci, ii)) {
            refuse(change.Name, change.Line, "not found where the scan read it");
            continue;
        }
        const Clause& c = l.Clauses[ci];
        const Item& item = c.Items[ii];
        if (item.Depth > 0 || c.Depth > 0)
            refuse(change.Name, change.Line, "inside a conditional branch");
        else if (c.Include || c.Odd || !c.Complete)
            refuse(change.Name, change.Line, "in a uses list that reads an include file");
        else if (change.Move && c.Implementation)
            refuse(change.Name, change.Line, "not in the interface's uses list");
        else
            gone[ci].push_back({ii, change.Move});
    }
    // Where moved entries go: the implementation's list, or a new one after the keyword.
    const int target = l.ImplementationClause;
    const bool canMove = l.Implementation && !l.ImplementationBlocked &&
                         (target < 0 || (l.Clauses[static_cast<size_t>(target)].Depth == 0 &&
                                         !l.Clauses[static_cast<size_t>(target)].Include &&
                                         !l.Clauses[static_cast<size_t>(target)].Odd &&
                                         l.Clauses[static_cast<size_t>(target)].Complete));
    std::vector<std::string> moved;
    for (size_t ci = 0; ci < l.Clauses.size(); ++ci) {
        std::vector<Want> go, cannotMove, refused;
        for (const Want& w : gone[ci])
            (w.Move && !canMove ? cannotMove : go).push_back(w);
        gone[ci].swap(go);
        for (const Want& w : cannotMove)
            refuse(l.Clauses[ci].Items[w.Item].Name, l.Clauses[ci].Items[w.Item].Line,
                   "no implementation uses list it can move to");
        if (static_cast<int>(ci) == target)
            continue; // planned last, with what moves into it
        PlanClause(text, l.Clauses[ci], gone[ci], {}, out, refused);
        for (const Want& w : gone[ci]) {
            const bool kept = std::any_of(refused.begin(), refused.end(),
                                          [&](const Want& r) { return r.Item == w.Item; });
            const Item& item = l.Clauses[ci].Items[w.Item];
            if (kept)
                refuse(item.Name, item.Line, "next to a conditional branch or directive");
            else if (w.Move)
                moved.push_back(text.substr(item.Start, item.End - item.Start));
        }
    }
    if (target >= 0) {
        std::vector<Want> refused;
        PlanClause(text, l.Clauses[static_cast<size_t>(target)], gone[static_cast<size_t>(target)],
                   moved, out, refused);
        for (const Want& w : refused) {
            const Item& item = l.Clauses[static_cast<size_t>(target)].Items[w.Item];
            refuse(item.Name, item.Line, "next to a conditional branch or directive");
        }
    } else if (!moved.empty()) {
        std::string joined;
        for (const std::string& m : moved)
            joined += (joined.empty() ? "" : ", ") + m;
        const std::string eol = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
        size_t at = l.ImplementationEnd;
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
        if (text.compare(at, eol.size(), eol) == 0)
            out.Edits.push_back(
                {at + eol.size(), 0, eol + "uses" + eol + "  " + joined + ";" + eol});
        else
            out.Edits.push_back({l.ImplementationEnd, 0, " uses " + joined + ";"});
    }
    std::sort(out.Edits.begin(), out.Edits.end(),
              [](const TByteEdit& a, const TByteEdit& b) { return a.Offset < b.Offset; });
    return out;
}

std::string ApplyEdits(const std::string& text, const std::vector<TByteEdit>& edits) {
    std::string out;
    size_t at = 0;
    for (const TByteEdit& e : edits) {
        out.append(text, at, e.Offset - at);
        out += e.Text;
        at = e.Offset + e.Length;
    }
    out.append(text, at, std::string::npos);
    return out;
}

} // namespace ut
