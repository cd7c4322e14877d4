#include "analysis/DependencyAnalysis.h"
#include "analysis/Dominators.h"
#include "analysis/Levels.h"
#include "core/analysis/GraphText.h"
#include "report/GroupedDot.h"
#include "report/HtmlReport.h"
#include "report/Treemap.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;
using namespace ut::report;
using ut::testing::MakeGraph;

TEST(GroupedDot, OneNodePerGroupCountedEdgesCyclesBetweenGroupsRed) {
    // By scope: X. and Y. use each other; P uses X. twice, once in its implementation.
    const UnitGraph g = MakeGraph("P=1: X.A -X.B Y.C; X.A=2: Y.C; X.B; Y.C=4: -X.B");
    DependencyMatrix matrix(g, UnitLevels(g), GroupUnits(g, GroupBy::Scope));
    EXPECT_EQ(ExportGroupedDot(matrix),
              "digraph groups {\n"
              "  node [shape=box];\n"
              "  \"X.\" [label=\"X.\\n2 units, 2 bytes\", color=red];\n"
              "  \"Y.\" [label=\"Y.\\n1 unit, 4 bytes\", color=red];\n"
              "  \"(no scope)\" [label=\"(no scope)\\n1 unit, 1 bytes\"];\n"
              "  \"X.\" -> \"Y.\" [label=\"1\", color=red];\n"
              "  \"Y.\" -> \"X.\" [label=\"1\", style=dashed, color=red];\n"
              "  \"(no scope)\" -> \"X.\" [label=\"2\"];\n"
              "  \"(no scope)\" -> \"Y.\" [label=\"1\"];\n"
              "}\n");
}

TEST(Treemap, AreasFollowTheBytesAndChildrenStayInsideTheirParent) {
    // P brings A (30 bytes, and C through it alone) and B; A dominates C.
    const UnitGraph g = MakeGraph("P=0: A B; A=30: C; B=10; C=20");
    const std::vector<int> idom = ImmediateDominators(g, g.Root());
    std::vector<std::int64_t> exclusive;
    for (const auto& size : ExclusiveSizes(g, idom))
        exclusive.push_back(size.value_or(0));
    TreemapOptions o;
    o.Width = 60;
    o.Height = 10;
    o.Header = o.Padding = o.MinSide = 0;
    const std::vector<TreemapRect> rects = ExclusiveSizeTreemap(g, g.Root(), idom, exclusive, o);
    ASSERT_EQ(rects.size(), 3u);
    std::string order;
    for (const TreemapRect& r : rects)
        order += g.Node(r.Node).Key + std::to_string(r.Depth) + " ";
    EXPECT_EQ(order, "A0 B0 C1 ");
    // 600 square points for 60 bytes; C takes 20 of A's 50.
    EXPECT_NEAR(rects[0].Width * rects[0].Height, 500, 1e-6);
    EXPECT_NEAR(rects[1].Width * rects[1].Height, 100, 1e-6);
    EXPECT_NEAR(rects[2].Width * rects[2].Height, 200, 1e-6);
    const TreemapRect &a = rects[0], &c = rects[2];
    EXPECT_TRUE(c.X >= a.X && c.Y >= a.Y && c.X + c.Width <= a.X + a.Width + 1e-9 &&
                c.Y + c.Height <= a.Y + a.Height + 1e-9);
}

TEST(HtmlReport, DataCannotCloseItsScriptElement) {
    const DependencyAnalysis analysis(MakeGraph("P: A; A"));
    HtmlReportInputs inputs;
    inputs.Project = "/x/a</script><script>alert(1)</script>.dpr";
    const std::string page = HtmlReport(analysis, inputs);
    size_t closes = 0;
    for (size_t at = page.find("</script>"); at != std::string::npos;
         at = page.find("</script>", at + 1))
        ++closes;
    EXPECT_EQ(closes, 2u); // the data's element and the script's
    EXPECT_NE(page.find("a<\\/script><script>alert(1)<\\/script>.dpr"), std::string::npos);
    EXPECT_NE(page.find("<title>Uni-Trace: script&gt;.dpr</title>"), std::string::npos);
}

} // namespace
