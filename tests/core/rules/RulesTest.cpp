// The rule kinds on hand-drawn graphs, the rules file's errors, unit sets and the baseline.
#include "rules/RuleCheck.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace ut;
using namespace ut::rules;

// "P: A -B; A@core=10: B Vcl.Forms; B@ui" : units separated by ';', each `Key`, `Key@dir`
// (its source /p/dir/Key.pas, else /p/Key.pas) or `Key=size`, then the names it uses; '-'
// marks an implementation entry, entry k stands on line k + 1. Names no unit declares are
// outside names (ignored or not found).
struct Drawn {
    std::unique_ptr<DependencyAnalysis> Analysis;
    std::unique_ptr<RuleGraph> Graph;
};

Drawn Draw(const std::string& text) {
    std::vector<std::string> declarations;
    SplitToList(text, ";", declarations);
    std::vector<ResultUnit> units;
    std::vector<std::pair<std::string, ResultUse>> uses;
    bool sizes = false;
    for (const std::string& d : declarations) {
        const size_t colon = d.find(':');
        std::string head = Trim(d.substr(0, colon)), dir;
        ResultUnit u;
        if (const size_t eq = head.find('='); eq != std::string::npos) {
            u.Size = std::stoll(head.substr(eq + 1));
            sizes = true;
            head.resize(eq);
        }
        if (const size_t at = head.find('@'); at != std::string::npos) {
            dir = head.substr(at + 1) + "/";
            head.resize(at);
        }
        u.Key = head;
        u.FileName = "/p/" + dir + head + ".pas";
        std::istringstream list(colon == std::string::npos ? "" : d.substr(colon + 1));
        std::string name;
        for (int line = 1; list >> name; ++line) {
            const bool impl = name[0] == '-';
            u.Uses.push_back({impl ? name.substr(1) : name, !impl, line, {}});
        }
        units.push_back(std::move(u));
    }
    Drawn r;
    std::vector<ResultUnit> copy = units;
    r.Analysis = std::make_unique<DependencyAnalysis>(UnitGraph(std::move(copy), "P", sizes));
    std::vector<OutsideUse> outside;
    const UnitGraph& g = r.Analysis->Graph();
    for (const ResultUnit& u : units)
        for (const ResultUse& use : u.Uses)
            if (g.Find(use.Target) < 0)
                outside.push_back({g.Find(u.Key), use.Target, use.Interface, use.Line, {}});
    r.Graph = std::make_unique<RuleGraph>(*r.Analysis, outside);
    return r;
}

// "name A->B i3 [A>X>B]", budgets "name A 120>100", then "unmatched name set", notes.
std::string Describe(const RulesOutcome& r) {
    std::string s;
    auto add = [&s](const std::string& item) { s += (s.empty() ? "" : " | ") + item; };
    for (const Violation& v : r.Violations) {
        std::string item = v.Rule + " " + v.From;
        if (v.To.empty())
            item += " " + std::to_string(*v.Size) + ">" + std::to_string(*v.MaxBytes);
        else
            item += "->" + v.To + (v.Interface ? " i" : " m") + std::to_string(v.Line);
        if (v.Path.size() > 1) {
            item += " [" + v.Path[0].From;
            for (const ViolationStep& step : v.Path)
                item += ">" + step.To;
            item += "]";
        }
        add(item + (v.Level == Severity::Warn ? " warn" : ""));
    }
    for (const UnmatchedSet& u : r.Unmatched)
        add("unmatched " + u.Rule + " " + u.Set);
    for (const std::string& note : r.Notes)
        add(note);
    return s;
}

TEST(RuleKinds, EachKindOnAHandDrawnGraph) {
    const char* layered = "P@ui: A B; A@ui: -B C; B@data: C -A; C@core: X";
    const struct {
        const char* name;
        const char* graph;
        const char* rules;
        const char* found;
    } cases[] = {
        {"a use of a set above is a violation; a unit in no set is free", layered,
         "[[layers]]\nname='l'\nsets=['ui/**','data/**','core/**']", "l B->A m2"},
        {"without interface, lower sets only from the implementation", layered,
         "[[layers]]\nname='l'\nsets=['ui/**','data/**','core/**']\ninterface=false",
         "l A->C i2 | l B->A m2 | l B->C i1 | l P->B i2"},
        {"a unit belongs to the first set that holds it", layered,
         "[[layers]]\nname='l'\nsets=['B', 'ui/**', '**']", "l A->B m1 | l P->B i2"},
        {"forbid in one section; outside names match by name", "P: A; A: Vcl.Forms -Vcl.Menus",
         "[[forbid]]\nname='f'\nfrom='A'\nto='VCL.*'\nsection='implementation'\nseverity='warn'",
         "f A->Vcl.Menus m2 warn"},
        {"reach: the path to the nearest unit of `to`, told by the first entry",
         "P: A; A: -B; B: C; C: Vcl.Forms Vcl.Menus; Vcl.Forms: Vcl.Menus",
         "[[forbid]]\nname='f'\nfrom='A'\nto='Vcl.*'\nreach=true",
         "f A->Vcl.Forms m1 [A>B>C>Vcl.Forms]"},
        {"reach: each entry that leads into `to` is a violation of its own",
         "P: A; A: B C Y; B: C; C: Y X; Y: A", "[[forbid]]\nname='f'\nfrom='A'\nto='X'\nreach=true",
         "f A->X i1 [A>B>C>X] | f A->X i2 [A>C>X]"},
        {"reach: a unit of `from` on the way answers for itself", "P: A; A: B; B: C; C: X",
         "[[forbid]]\nname='f'\nfrom=['A','B']\nto='X'\nreach=true", "f B->X i1 [B>C>X]"},
        {"reach: only the first step keeps to the section", "P: A; A: B -C; B: -X; C: X",
         "[[forbid]]\nname='f'\nfrom='A'\nto='X'\nsection='interface'\nreach=true",
         "f A->X i1 [A>B>X]"},
        {"independent sets", "P: A B; A@a: B -Q; B@b: A; Q@q: A",
         "[[independent]]\nname='i'\nsets=['a/**','b/**','q/*']",
         "i A->B i1 | i A->Q m2 | i B->A i1 | i Q->A i1"},
        {"acyclic: a cycle through a unit outside the set does not count",
         "P: A; A: B; B: -A C; C: D; D: -Q; Q: C", "[[acyclic]]\nname='a'\nset=['A','B','C','D']",
         "a A->B i1 | a B->A m1"},
        {"acyclic over interface entries only", "P: A; A: B; B: -A C; C: D; D: C",
         "[[acyclic]]\nname='a'\nset='*'\ninterface_only=true", "a C->D i1 | a D->C i1"},
        {"a budget of exclusive sizes from the map file", "P=1: A B; A=100: C; B=20: C; C=50",
         "[[budget]]\nname='b'\nset='*'\nmax_bytes=99", "b A 100>99 | b P 171>99"},
        {"a budget without sizes is not checked", "P: A",
         "[[budget]]\nname='b'\nset='*'\nmax_bytes=9",
         "b: not checked: the map file gave no unit sizes"},
        {"a set that matches nothing is named", "P: A",
         "[[forbid]]\nname='f'\nfrom='core/"
         "**'\nto='A'\n[[forbid]]\nname='g'\nfrom='A'\nto='Nothing*'",
         "unmatched f from | unmatched g to"},
    };
    for (const auto& c : cases) {
        const Drawn d = Draw(c.graph);
        const RuleSet rules = ParseRules(c.rules, "rules.toml", "/p");
        EXPECT_EQ(Describe(CheckRules(rules, *d.Graph)), c.found) << c.name;
    }
}

TEST(UnitSets, PathPatternsFromTheRulesFileAndNamePatterns) {
    const struct {
        const char* pattern;
        const char* name;
        const char* file;
        bool matches;
    } cases[] = {
        {"src/**", "A", "/p/src/a/b/A.pas", true},
        {"src/*", "A", "/p/src/a/A.pas", false},
        {"src/", "A", "/p/src/a/A.pas", true},
        {"src/*/*.pas", "A", "/p/SRC/a/A.PAS", true},
        {"src/**/x/*", "A", "/p/src/x/y/x/A.pas", true},
        {"../lib/**", "A", "/lib/A.pas", true},
        {"./src/**", "A", "/p/other/A.pas", false},
        {"src/**", "A", "", false},
        {"Vcl.*", "vcl.forms", "", true},
        {"*Test", "MainTest", "/p/x/MainTest.pas", true},
        {"**", "Anything.At.All", "", true},
        {"A?", "A", "/p/A.pas", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnitSet({c.pattern}, "/p").Matches(c.name, c.file), c.matches)
            << c.pattern << " " << c.name << " " << c.file;
}

TEST(RulesFile, ABrokenFileNamesTheLineAndWhatIsWrong) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"[[forbid]]\nname='x'\nfrom='A'", "r.toml:1:1: [[forbid]] \"x\": \"to\" is missing"},
        {"[[forbid]]\nname = 'a b'",
         "r.toml:2:8: [[forbid]]: a name holds letters, digits, '-', '_' and '.' only"},
        {"[[acyclic]]\nname='a'\nset='*'\nseverity='fatal'",
         "r.toml:4:10: [[acyclic]] \"a\": \"severity\" is \"error\" or \"warn\", not \"fatal\""},
        {"[[acyclic]]\nname='a'\nset='*'\nsevrity='warn'",
         "r.toml:4:9: [[acyclic]] \"a\": unknown key \"sevrity\""},
        {"[[acyclic]]\nname='a'\nset=[]",
         "r.toml:3:5: [[acyclic]] \"a\": \"set\" names no pattern"},
        {"[[layers]]\nname='l'\nsets=['a']",
         "r.toml:3:6: [[layers]] \"l\": \"sets\" is an array of two or more unit sets"},
        {"[[forbid]]\nname='f'\nfrom=[1]\nto='x'",
         "r.toml:3:7: [[forbid]] \"f\": \"from\" is a pattern or an array of patterns"},
        {"[[forbid]]\nname='f'\nfrom='a'\nto='x'\nsection='both'",
         "r.toml:5:9: [[forbid]] \"f\": \"section\" is \"interface\", \"implementation\" or "
         "\"any\", not \"both\""},
        {"[[budget]]\nname='b'\nset='*'\nmax_bytes='2 MB'",
         "r.toml:4:11: [[budget]] \"b\": \"max_bytes\" must be a whole number of bytes, 0 or more"},
        {"[[budget]]\nname='b'\nset='*'\nmax_bytes=1\n[[acyclic]]\nname='b'\nset='*'",
         "r.toml:6:6: [[acyclic]] \"b\": a second rule of this name"},
        {"[forbid]\nname='f'", "r.toml:1:2: \"forbid\" is an array of tables: [[forbid]]"},
        {"[[forbids]]\nname='f'", "r.toml:1:3: unknown rule kind \"forbids\" (layers, forbid, "
                                  "independent, acyclic, budget)"},
    };
    for (const auto& c : cases) {
        try {
            ParseRules(c.text, "r.toml", "/p");
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const ERulesError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    // toml++ describes a syntax error itself; the place is ours. A table header without a
    // key, and a Cyrillic letter outside a string, ran into faults of toml++.
    for (const char* text : {"[[forbid]]\nname = 'x\n", "# x\n[ = 1\n", "#\n\xd0\x93 h"}) {
        try {
            ParseRules(text, "r.toml", "/p");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const ERulesError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("r.toml:2:", 0), 0u) << e.what();
        }
    }
}

TEST(Baseline, KnownFixedAndNewByRuleAndEdgeNotLine) {
    const Drawn d = Draw("P: A B; A: Vcl.Forms B; B: Vcl.Menus");
    const RuleSet rules = ParseRules("[[forbid]]\nname='f'\nfrom='*'\nto='Vcl.*'", "r.toml", "/p");
    const Baseline base =
        Baseline::Parse("# known\nf: a -> vcl.forms\n\nf: Gone -> Vcl.Forms\n", "b");
    const RulesOutcome r = CheckRules(rules, *d.Graph, &base);
    EXPECT_EQ(Describe(r), "f A->Vcl.Forms i1 | f B->Vcl.Menus i1");
    EXPECT_TRUE(r.Violations[0].Known);
    EXPECT_FALSE(r.Violations[1].Known);
    EXPECT_EQ(r.Known, 1);
    EXPECT_EQ(r.New, 1);
    EXPECT_EQ(r.Fixed, std::vector<std::string>{"f: Gone -> Vcl.Forms"});
    EXPECT_EQ(r.NewErrors(), 1);

    // A moved line changes no entry; the entries come sorted, each once.
    const Drawn moved = Draw("P: A B; B: Vcl.Menus; A: B B Vcl.Forms");
    const std::string text =
        "# Violations known when this baseline was written: only others fail.\n"
        "# One per line, \"rule: From -> To\"; remove the lines of those fixed.\n"
        "f: A -> Vcl.Forms\nf: B -> Vcl.Menus\n";
    EXPECT_EQ(BaselineText(CheckRules(rules, *d.Graph).Violations), text);
    EXPECT_EQ(BaselineText(CheckRules(rules, *moved.Graph).Violations), text);

    try {
        Baseline::Parse("f: A -> B\nf A -> B\n", "known.txt");
        ADD_FAILURE() << "a line without its rule was accepted";
    } catch (const ERulesError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "known.txt:2: not a baseline entry (\"rule: From -> To\"): f A -> B");
    }
}

} // namespace
