// The hygiene as the window lists it: one row per entry, and the text of one verdict.
#include "HygieneFixture.h"

#include "platform/FileSystem.h"
#include "report/HygieneRows.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;

class HygieneRowsTest : public uttest::HygieneFixture {
  protected:
    void SetUp() override {
        HygieneFixture::SetUp();
        ASSERT_TRUE(scan.ScanProject(root + "/Proj.dpr"));
        hygiene = THygiene::Judge(scan, {});
    }
    /// The entry of `unit` named `entry`, as the hygiene holds it.
    std::string Text(const char* unit, const char* entry) {
        const TUnit* u = scan.FindUnit(unit);
        const int k = u->Uses.IndexOf(entry);
        return report::EntryVerdictText(*hygiene.Of(u), static_cast<size_t>(k),
                                        hygiene.ProjectDir());
    }
    uttest::QuietFrontEnd frontEnd;
    ProjectScan scan{frontEnd};
    THygiene hygiene;
};

TEST_F(HygieneRowsTest, RowsCarryTheSectionReasonsEvidenceAndTheEntrysPlaceBelowTheProject) {
    const std::vector<report::THygieneRow> rows = report::HygieneRows(scan, hygiene);
    // "Unit|Entry|Section|Verdict|Reasons|Evidence|File:Line" of the unit's entry.
    auto row = [&](const std::string& unit, const std::string& entry) {
        for (const report::THygieneRow& r : rows)
            if (r.Unit == unit && r.Entry == entry)
                return r.Unit + "|" + r.Entry + "|" + r.Section + "|" + r.Verdict + "|" +
                       r.Reasons + "|" + r.Evidence + "|" + r.File + ":" + std::to_string(r.Line);
        return std::string("none");
    };
    EXPECT_EQ(row("Main", "Things"),
              "Main|Things|interface|keep|used|TThing (Main.pas:14)|Main.pas:6");
    EXPECT_EQ(row("Main", "Moved"), "Main|Moved|interface|move||Work (Main.pas:26)|Main.pas:6");
    EXPECT_EQ(row("Main", "Starter"), "Main|Starter|interface|keep|initialization||Main.pas:7");
    EXPECT_EQ(row("Main", "Nowhere"), "Main|Nowhere|implementation|unknown|not found||Main.pas:20");
    EXPECT_EQ(row("Proj", "Spare"), "Proj|Spare|program|remove|||Proj.dpr:6");
}

TEST_F(HygieneRowsTest, TheTextOfAVerdictSaysWhyAndListsTheEvidence) {
    const struct {
        const char *Unit, *Entry, *Text;
    } cases[] = {
        {"Main", "Gone", "remove: nothing of the unit is referenced"},
        {"Main", "Moved", "move to the implementation: used there only\nWork at Main.pas:26"},
        {"Main", "Qual", "keep: used\nQual at Main.pas:11"},
        {"Main", "Ctrls", "keep: form\nTFancyButton at Main.dfm:2"},
        {"Main", "Nowhere", "unknown: not found"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(c.Unit, c.Entry), c.Text) << c.Entry;
}

} // namespace
