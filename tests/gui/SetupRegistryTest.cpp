// The compiler version box and the installed versions: the newest is chosen at creation,
// each change of the version reads its paths, and a restored version wins over the newest.
#include "GuiTestSupport.h"

#include "gui/SetupPage.h"
#include "platform/Registry.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace ut::gui::test {
namespace {

constexpr const char* Installs = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Borland\Delphi\3.0]
"RootDir"="/opt/d3"

[HKEY_LOCAL_MACHINE\Software\Borland\Delphi\4.0]
"RootDir"="/opt/d4"

[HKEY_LOCAL_MACHINE\Software\Borland\Delphi\5.0]
"RootDir"="/opt/d5"

[HKEY_CURRENT_USER\Software\Borland\Delphi\4.0\Library]
"Search Path"="/opt/d4/Lib"

[HKEY_CURRENT_USER\Software\Borland\Delphi\5.0\Library]
"Search Path"="/opt/d5/Lib"
"Browsing Path"="/opt/d5/Source"
)";

class SetupRegistryTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        Registry.AddText(Installs);
    }
    void Open() { WindowTest::Open({}, &Registry); }

    ut::RegistryStore Registry;
};

TEST_F(SetupRegistryTest, RestoredVersionWinsOverTheNewest) {
    Settings.Settings().setValue(QStringLiteral("Main/EDelphi_Text"), QStringLiteral("4.0"));
    Open();
    EXPECT_EQ(Page().delphiVersionEdit->text(), QStringLiteral("4.0"));
    EXPECT_EQ(Page().libPathEdit->text(), QStringLiteral("/opt/d4/Lib"));
}

TEST_F(SetupRegistryTest, NewestVersionAtFirstRunThenEachTypedTextIsReadInTurn) {
    Open();
    EXPECT_EQ(Page().delphiVersionEdit->text(), QStringLiteral("5.0"));
    EXPECT_EQ(Page().browsePathEdit->text(), QStringLiteral("/opt/d5/Source"));
    EXPECT_EQ(Window->Scan().FDelphiRoot, "/opt/d5");
    Page().delphiVersionEdit->clear();
    QTest::keyClicks(Page().delphiVersionEdit, QStringLiteral("4"));
    // "4" names no key: the paths stay.
    EXPECT_EQ(Page().libPathEdit->text(), QStringLiteral("/opt/d5/Lib"));
    QTest::keyClicks(Page().delphiVersionEdit, QStringLiteral(".0"));
    EXPECT_EQ(Page().libPathEdit->text(), QStringLiteral("/opt/d4/Lib"));
    // The 4.0 library key has no browsing path: the box is emptied.
    EXPECT_TRUE(Page().browsePathEdit->text().isEmpty());
    EXPECT_EQ(Window->Scan().FDelphiRoot, "/opt/d4");
    EXPECT_EQ(Window->Scan().Inputs.LibPath, "/opt/d4/Lib");
}

TEST_F(SetupRegistryTest, PathsTypedByTheUserReachTheScan) {
    Open();
    QTest::keyClicks(Page().searchPathEdit, QStringLiteral(";src"));
    Page().definesEdit->setText(QStringLiteral("DEBUG"));
    EXPECT_EQ(Window->Scan().Inputs.SearchPath, ".;src");
    EXPECT_EQ(Window->Scan().Inputs.Defines, "DEBUG");
}

} // namespace
} // namespace ut::gui::test
