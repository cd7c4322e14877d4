// The saved settings: the names and formats written, what a later run restores, and the
// runs that must not write anything or restore what does not fit.
#include "GuiTestSupport.h"

#include "gui/FileNameEdit.h"
#include "gui/StoredSettings.h"

#include <QCheckBox>

namespace ut::gui::test {
namespace {

class SettingsTest : public WindowTest {
  protected:
    QString Value(const QString& key) { return Settings.Reopen()->value(key).toString(); }
};

TEST_F(SettingsTest, CloseWritesEveryValueInItsFormatAndALaterRunRestoresIt) {
    {
        auto window = Make(Settings.Settings());
        window->show();
        window->setGeometry(40, 50, 800, 500);
        SetupPage& page = window->Setup();
        page.delphiVersionEdit->setText(QStringLiteral("5.0"));
        page.useBrowsePathCheck->setChecked(true);
        page.showIgnoredCheck->setChecked(false);
        page.showUnknownCheck->setChecked(false);
        page.projectEdit->setText(Fixture("Proj/Proj.dpr"));
        window->Scan().IgnUnits.SetLines(std::vector<std::string>{"zeta", "Alpha"});
        window->close();
        EXPECT_EQ(Value("Main/PixelsPerInch"), QString::number(window->logicalDpiY()));
    }
    const std::vector<std::pair<const char*, const char*>> written = {
        {"Main/FormVersion", "0"},
        {"Main/NormPos", "40,50,840,550"},
        {"Main/ShowCmd", "1"},
        {"Main/Flags", "0"},
        {"Main/MinMaxPos", "-1,-1,-1,-1"},
        {"Main/EDelphi_Text", "5.0"},
        {"Main/Compiler", "delphi"},
        {"Main/chkBrowseAlso_Checked", "True"},
        {"Main/chkShowIgnored_Checked", "False"},
        {"Main/chkShowUnkn_Checked", "False"},
        // The list section sits beside "Main", its lines in the list's sorted order.
        {"Main.IgnUnits_Lines/Count", "2"},
        {"Main.IgnUnits_Lines/Item0", "Alpha"},
        {"Main.IgnUnits_Lines/Item1", "zeta"}};
    for (const auto& [key, value] : written)
        EXPECT_EQ(Value(key), QString::fromUtf8(value)) << key;
    EXPECT_EQ(Value("Main/Project"), Fixture("Proj/Proj.dpr"));

    auto settings = Settings.Reopen();
    auto window = Make(*settings);
    window->show();
    SetupPage& page = window->Setup();
    EXPECT_EQ(window->geometry(), QRect(40, 50, 800, 500));
    EXPECT_EQ(window->Scan().Inputs.Delphi, "5.0");
    EXPECT_TRUE(window->Scan().Inputs.BrowseAlso);
    EXPECT_FALSE(page.showIgnoredCheck->isChecked());
    EXPECT_FALSE(window->Filters().ShowUnknown);
    EXPECT_EQ(window->Scan().IgnUnits.Lines().ToVector(),
              (std::vector<std::string>{"Alpha", "zeta"}));
    // The project is shown, not scanned; restoring it ran its change handler.
    EXPECT_EQ(page.projectEdit->text(), Fixture("Proj/Proj.dpr"));
    EXPECT_TRUE(LogTexts(*page.logView).isEmpty());
    EXPECT_EQ(page.definesEdit->text(), QStringLiteral("VER130;TESTING"));
}

TEST_F(SettingsTest, AnEmptiedIgnoreListIsSavedWithoutCountAndTheDefaultsReturn) {
    {
        auto window = Make(Settings.Settings());
        window->show();
        window->Scan().IgnUnits.SetLines(std::vector<std::string>{});
        window->close();
    }
    auto settings = Settings.Reopen();
    EXPECT_FALSE(settings->contains("Main.IgnUnits_Lines/Count"));
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

TEST_F(SettingsTest, SettingsOfANewerVersionOrRectanglesOfAnotherResolutionAreNotRestored) {
    QSettings& s = Settings.Settings();
    s.setValue("Main/FormVersion", "1");
    s.setValue("Main/EDelphi_Text", "9.9");
    s.setValue("Main/Project", "/saved/Old.dpr");
    auto window = Make(s);
    window->show();
    EXPECT_NE(window->Setup().delphiVersionEdit->text(), QStringLiteral("9.9"));
    EXPECT_TRUE(window->Setup().projectEdit->text().isEmpty());
    const int dpi = window->logicalDpiY();
    window.reset();

    s.clear();
    s.setValue("Main/NormPos", "10,20,810,620"); // larger than the least size of any font set
    s.setValue("Main/PixelsPerInch", QString::number(dpi + 24));
    window = Make(s);
    window->show();
    EXPECT_NE(window->geometry(), QRect(10, 20, 800, 600));
    s.setValue("Main/PixelsPerInch", QString::number(dpi));
    window->hide();
    window->show();
    EXPECT_EQ(window->geometry(), QRect(10, 20, 800, 600));
}

TEST(StoredSettingsText, QuadsAndBooleans) {
    EXPECT_EQ(FormatQuad(-1, 2, 300, -4000), QStringLiteral("-1,2,300,-4000"));
    EXPECT_EQ(ParseQuad(QStringLiteral(" 1, 2,3 ,4")), (std::array<int, 4>{1, 2, 3, 4}));
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "1,2,x,4", "1;2;3;4"})
        EXPECT_FALSE(ParseQuad(QString::fromLatin1(bad)).has_value()) << bad;
    const std::vector<std::pair<const char*, std::optional<bool>>> cases = {
        {"True", true}, {"FALSE", false}, {"1", true},       {"0", false},
        {"-1", true},   {"yes", {}},      {"", std::nullopt}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseBool(QString::fromLatin1(text)), expected) << '"' << text << '"';
}

} // namespace
} // namespace ut::gui::test
