// The saved settings: the names and formats written, what a later run restores, and the
// runs that must not write anything.
#include "GuiTestSupport.h"

#include "gui/FileNameEdit.h"
#include "gui/SettingsKeys.h"
#include "gui/SetupPage.h"
#include "gui/StoredSettings.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace ut::gui::test {
namespace {

class SettingsTest : public WindowTest {
  protected:
    QString Value(const QString& key) { return Settings.Reopen()->value(key).toString(); }
};

TEST_F(SettingsTest, CloseWritesEveryValueInItsFormat) {
    auto window = Make(Settings.Settings());
    window->show();
    window->setGeometry(40, 50, 700, 450);
    SetupPage& page = window->Setup();
    page.delphiVersionEdit->setText(QStringLiteral("5.0"));
    page.useBrowsePathCheck->setChecked(true);
    page.showIgnoredCheck->setChecked(false);
    page.projectEdit->setText(QStringLiteral("/some/where/App.dpr"));
    window->Scan().IgnUnits.SetLines(std::vector<std::string>{"zeta", "Alpha"});
    window->close();

    EXPECT_EQ(Value("Main/FormVersion"), QStringLiteral("0"));
    EXPECT_EQ(Value("Main/NormPos"), QStringLiteral("40,50,740,500"));
    EXPECT_EQ(Value("Main/ShowCmd"), QStringLiteral("1"));
    EXPECT_EQ(Value("Main/Flags"), QStringLiteral("0"));
    EXPECT_EQ(Value("Main/MinMaxPos"), QStringLiteral("-1,-1,-1,-1"));
    EXPECT_EQ(Value("Main/PixelsPerInch"), QString::number(window->logicalDpiY()));
    EXPECT_EQ(Value("Main/EDelphi_Text"), QStringLiteral("5.0"));
    EXPECT_EQ(Value("Main/chkBrowseAlso_Checked"), QStringLiteral("True"));
    EXPECT_EQ(Value("Main/chkShowIgnored_Checked"), QStringLiteral("False"));
    EXPECT_EQ(Value("Main/chkShowUnkn_Checked"), QStringLiteral("True"));
    EXPECT_EQ(Value("Main/Project"), QStringLiteral("/some/where/App.dpr"));
    // The list section sits beside "Main", its lines in the list's sorted order.
    EXPECT_EQ(Value("Main.IgnUnits_Lines/Count"), QStringLiteral("2"));
    EXPECT_EQ(Value("Main.IgnUnits_Lines/Item0"), QStringLiteral("Alpha"));
    EXPECT_EQ(Value("Main.IgnUnits_Lines/Item1"), QStringLiteral("zeta"));
}

TEST_F(SettingsTest, ALaterRunRestoresWhatWasSaved) {
    {
        auto window = Make(Settings.Settings());
        window->show();
        window->setGeometry(30, 35, 800, 500);
        window->Setup().delphiVersionEdit->setText(QStringLiteral("4.0"));
        window->Setup().useBrowsePathCheck->setChecked(true);
        window->Setup().showUnknownCheck->setChecked(false);
        window->Setup().projectEdit->setText(Fixture("Proj/Proj.dpr"));
        window->Scan().IgnUnits.SetLines(std::vector<std::string>{"Forms", "Windows"});
        window->close();
    }
    auto settings = Settings.Reopen();
    auto window = Make(*settings);
    window->show();
    SetupPage& page = window->Setup();
    EXPECT_EQ(window->geometry(), QRect(30, 35, 800, 500));
    EXPECT_EQ(page.delphiVersionEdit->text(), QStringLiteral("4.0"));
    EXPECT_TRUE(page.useBrowsePathCheck->isChecked());
    EXPECT_TRUE(window->Scan().Inputs.BrowseAlso);
    EXPECT_FALSE(page.showUnknownCheck->isChecked());
    EXPECT_FALSE(page.showIgnoredCheck->isEnabled());
    EXPECT_FALSE(window->Filters().ShowUnknown);
    EXPECT_EQ(page.projectEdit->text(), Fixture("Proj/Proj.dpr"));
    // Restoring the project ran its change handler: the options file was read.
    EXPECT_EQ(page.definesEdit->text(), QStringLiteral("VER130;TESTING"));
    EXPECT_EQ(window->Scan().IgnUnits.Lines().ToVector(),
              (std::vector<std::string>{"Forms", "Windows"}));
    EXPECT_EQ(window->Scan().Inputs.Delphi, "4.0");
}

TEST_F(SettingsTest, AnEmptiedIgnoreListIsSavedWithoutCountAndTheDefaultsReturn) {
    {
        auto window = Make(Settings.Settings());
        window->show();
        window->Scan().IgnUnits.SetLines(std::vector<std::string>{});
        window->close();
    }
    EXPECT_FALSE(Settings.Reopen()->contains("Main.IgnUnits_Lines/Count"));
    auto settings = Settings.Reopen();
    auto window = Make(*settings);
    window->show();
    EXPECT_EQ(window->Scan().IgnUnits.Lines().Count(), 5);
}

TEST_F(SettingsTest, OnlyARunWithARestoreSavesEvenWithoutAClose) {
    for (const bool shown : {false, true}) {
        {
            auto window = Make(Settings.Settings());
            if (shown)
                window->show();
            window->Setup().delphiVersionEdit->setText(QStringLiteral("3.0"));
        }
        EXPECT_EQ(Value("Main/EDelphi_Text"), shown ? QStringLiteral("3.0") : QString());
        EXPECT_EQ(Settings.Reopen()->allKeys().isEmpty(), !shown);
    }
}

TEST_F(SettingsTest, CommandLineStartKeepsTheArgumentAndSavesIt) {
    Settings.Settings().setValue("Main/Project", "/saved/Old.dpr");
    {
        auto window = Make(Settings.Settings(), {Fixture("Proj/Proj.dpr")});
        window->show();
        EXPECT_EQ(window->Setup().projectEdit->text(), Fixture("Proj/Proj.dpr"));
        window->close();
    }
    EXPECT_EQ(Value("Main/Project"), Fixture("Proj/Proj.dpr"));
}

TEST_F(SettingsTest, SettingsOfANewerVersionAreNotRestored) {
    QSettings& s = Settings.Settings();
    s.setValue("Main/FormVersion", "1");
    s.setValue("Main/EDelphi_Text", "9.9");
    s.setValue("Main/Project", "/saved/Old.dpr");
    auto window = Make(s);
    window->show();
    EXPECT_NE(window->Setup().delphiVersionEdit->text(), QStringLiteral("9.9"));
    EXPECT_TRUE(window->Setup().projectEdit->text().isEmpty());
}

TEST_F(SettingsTest, RectangleOfAnotherResolutionIsNotApplied) {
    QSettings& s = Settings.Settings();
    auto probe = Make(s);
    const int dpi = probe->logicalDpiY();
    probe.reset();
    s.clear();
    // Larger than the window's least size under any font set.
    s.setValue("Main/NormPos", "10,20,810,620");
    s.setValue("Main/PixelsPerInch", QString::number(dpi + 24));
    auto window = Make(s);
    window->show();
    EXPECT_NE(window->geometry(), QRect(10, 20, 800, 600));
    s.setValue("Main/PixelsPerInch", QString::number(dpi));
    window->hide();
    window->show();
    EXPECT_EQ(window->geometry(), QRect(10, 20, 800, 600));
}

TEST(StoredSettingsText, Quads) {
    EXPECT_EQ(FormatQuad(-1, 2, 300, -4000), QStringLiteral("-1,2,300,-4000"));
    const auto q = ParseQuad(QStringLiteral(" 1, 2,3 ,4"));
    ASSERT_TRUE(q.has_value());
    EXPECT_EQ(*q, (std::array<int, 4>{1, 2, 3, 4}));
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "1,2,x,4", "1;2;3;4"})
        EXPECT_FALSE(ParseQuad(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(StoredSettingsText, Booleans) {
    const std::vector<std::pair<const char*, std::optional<bool>>> cases = {
        {"True", true}, {"False", false}, {"true", true},        {"FALSE", false},   {"1", true},
        {"0", false},   {"-1", true},     {"yes", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseBool(QString::fromLatin1(text)), expected) << '"' << text << '"';
}

} // namespace
} // namespace ut::gui::test
