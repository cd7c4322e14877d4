// The hygiene's patch applied with patch(1) to a copy of a project, which is scanned again.
#include "HygieneFixture.h"

#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "report/UsesPatch.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace ut;
using report::UsesPatch;

class UsesPatchTest : public uttest::HygieneFixture {
  protected:
    void SetUp() override {
        HygieneFixture::SetUp();
        original = LoadFileText(root + "/Main.pas");
    }
    /// "Unit: A+ B-" per unit with uses entries ('+' interface), after a fresh scan.
    std::string Scanned() {
        scan.emplace(frontEnd);
        EXPECT_TRUE(scan->ScanProject(root + "/Proj.dpr"));
        std::string out;
        for (int i = 0; i < scan->FUnits.Count(); ++i) {
            const TUnit& u = *scan->FUnits.Objects(i);
            out += u.Uses.Count() ? u.UnitName + ":" : "";
            for (int k = 0; k < u.Uses.Count(); ++k)
                out += " " + u.Uses[k] + (u.Uses.Objects(k) ? "+" : "-");
            out += u.Uses.Count() ? "\n" : "";
        }
        return out;
    }
    std::string original;
    uttest::QuietFrontEnd frontEnd;
    std::optional<ProjectScan> scan;
};

TEST_F(UsesPatchTest, AppliesAndScansAgain) {
#ifdef _WIN32
    GTEST_SKIP() << "applies the patch with patch(1), a POSIX tool here";
#endif
    const std::string before = Scanned();
    const std::string patch = UsesPatch(*scan, THygiene::Judge(*scan, {}));
    EXPECT_EQ(patch.substr(0, patch.find("---")),
              "# Main.pas:19: remove Gone2: not edited, inside a conditional branch\n");
    { std::ofstream(root + "/hygiene.patch", std::ios::binary) << patch; }
    ASSERT_EQ(std::system(("cd '" + root + "' && patch -p1 -s < hygiene.patch").c_str()), 0);

    std::string expected = before;
    for (const auto& [from, to] : {std::pair<std::string, std::string>{" Moved+ Gone+", ""},
                                   {" Ctrls-", " Ctrls- Moved-"},
                                   {" Bin+ Spare+", " Bin+"}})
        expected.replace(expected.find(from), from.size(), to);
    EXPECT_EQ(Scanned(), expected);
    // Every other byte as it was, CR LF line ends included.
    std::string main = original;
    main.replace(main.find(" Moved, Gone,"), 13, "");
    main.replace(main.find("Ctrls;"), 6, "Ctrls, Moved;");
    EXPECT_EQ(LoadFileText(root + "/Main.pas"), main);
}

TEST_F(UsesPatchTest, RefusesAFileChangedSinceItWasRead) {
    Scanned();
    const THygiene hygiene = THygiene::Judge(*scan, {});
    std::ofstream(root + "/Main.pas", std::ios::binary | std::ios::app) << "\r\n";
    try {
        UsesPatch(*scan, hygiene);
        FAIL() << "a patch of a changed file";
    } catch (const EWarning& e) {
        EXPECT_EQ(std::string(e.what()), uttest::NativePath(root + "/Main.pas") +
                                             " changed since it was read: no patch written");
    }
}

} // namespace
