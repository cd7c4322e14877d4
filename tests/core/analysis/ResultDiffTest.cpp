#include "analysis/ResultDiff.h"
#include "core/analysis/GraphText.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;
using ut::testing::MakeGraph;

std::string DiffText(const ResultDiff& d) {
    std::string s;
    auto list = [&](const char* title, const std::vector<std::string>& names) {
        for (const std::string& n : names)
            s += std::string(title) + n + "; ";
    };
    list("+", d.UnitsAdded);
    list("-", d.UnitsRemoved);
    for (const DiffEdge& e : d.UsesAdded)
        s += "+" + e.From + (e.Interface ? ">" : "~>") + e.To + "; ";
    for (const DiffEdge& e : d.UsesRemoved)
        s += "-" + e.From + (e.Interface ? ">" : "~>") + e.To + "; ";
    for (const DiffSize& z : d.SizeChanges)
        s += z.Unit + " " + std::to_string(z.Old) + ">" + std::to_string(z.New) + "; ";
    auto cycles = [&](const char* title, const std::vector<DiffCycle>& list) {
        for (const DiffCycle& c : list) {
            s += title;
            for (const std::string& u : c.Units)
                s += " " + u;
            if (!c.Was.empty())
                s += " was";
            for (const std::vector<std::string>& old : c.Was) {
                s += " [";
                for (size_t i = 0; i < old.size(); ++i)
                    s += (i ? " " : "") + old[i];
                s += "]";
            }
            s += c.Interface ? " (interface); " : "; ";
        }
    };
    cycles("new", d.NewCycles);
    cycles("grown", d.GrownCycles);
    return s;
}

TEST(ResultDiff, UnitsUsesSizesAndCycles) {
    const struct {
        const char* name;
        const char* oldGraph;
        const char* newGraph;
        const char* diff;
    } cases[] = {
        {"nothing changed, keys in another case", "P=1: A; A=2", "p=1: a; a=2", ""},
        {"a unit and its entry added, another removed", "P: A Old; A; Old", "P: A; A: -N; N",
         "+N; -Old; +A~>N; -P>Old; "},
        {"an entry moved to the implementation list", "P: A; A: B; B", "P: A; A: -B; B",
         "+A~>B; -A>B; "},
        {"sizes known on both sides", "P=1: A B; A=2; B", "P=1: A B; A=5; B=9", "A 2>5; "},
        {"a new cycle", "P: A; A: B; B", "P: A; A: B; B: A", "+B>A; new A B (interface); "},
        {"a cycle that grew", "P: A; A: B; B: -A; C", "P: A; A: B; B: -A C; C: A",
         "+B>C; +C>A; grown A B C was [A B] (interface); "},
        {"two cycles merged into one grew", "P: A C; A: B; B: -A; C: D; D: -C",
         "P: A C; A: B; B: -A C; C: D; D: -C A",
         "+B>C; +D>A; grown A B C D was [A B] [C D] (interface); "},
        {"a cycle that shrank is neither", "P: A; A: B; B: C; C: -A", "P: A; A: B; B: -A; C",
         "+B~>A; -B>C; -C~>A; "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DiffText(DiffResults(MakeGraph(c.oldGraph), MakeGraph(c.newGraph))), c.diff)
            << c.name;
}

} // namespace
