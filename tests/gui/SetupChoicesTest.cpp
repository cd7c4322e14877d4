// The Setup page's choices: a .dproj's configuration and platform, remembered per project,
// and the installed compiler versions listed by product name.
#include "GuiTestSupport.h"

#include "gui/FileNameEdit.h"
#include "gui/GuiFrontEnd.h"
#include "gui/ResultExport.h"
#include "platform/Registry.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace ut::gui::test {
namespace {

// Debug and Release on Win32 and Win64; each pair defines its own symbols.
constexpr const char* Dproj =
    R"(<Project xmlns="http://schemas.microsoft.com/developer/msbuild/2003">
  <PropertyGroup>
    <MainSource>App.dpr</MainSource>
    <Config Condition="'$(Config)'==''">Debug</Config>
    <Platform Condition="'$(Platform)'==''">Win32</Platform>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Config)'=='Debug'"><DCC_Define>DEBUG</DCC_Define></PropertyGroup>
  <PropertyGroup Condition="'$(Config)'=='Release'"><DCC_Define>RELEASE</DCC_Define></PropertyGroup>
  <PropertyGroup Condition="'$(Platform)'=='Win64'"><DCC_Define>$(DCC_Define);X64</DCC_Define></PropertyGroup>
  <ItemGroup>
    <BuildConfiguration Include="Base"><Key>Base</Key></BuildConfiguration>
    <BuildConfiguration Include="Debug"><Key>Cfg_1</Key></BuildConfiguration>
    <BuildConfiguration Include="Release"><Key>Cfg_2</Key></BuildConfiguration>
  </ItemGroup>
  <ProjectExtensions><BorlandProject><Platforms>
    <Platform value="Win32">True</Platform>
    <Platform value="Win64">True</Platform>
  </Platforms></BorlandProject></ProjectExtensions>
</Project>
)";

class SetupChoicesTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        for (const char* name : {"App.dproj", "Other.dproj"})
            WriteFile(Dir.filePath(QLatin1String(name)), Dproj);
    }
    QString App() const { return Dir.filePath(QStringLiteral("App.dproj")); }
    static QStringList Items(const QComboBox& box) {
        QStringList items;
        for (int i = 0; i < box.count(); ++i)
            items << box.itemText(i);
        return items;
    }
    /// Picks the next item of a choice as the user does, with the keyboard.
    static void PickNext(QComboBox* box) { QTest::keyClick(box, Qt::Key_Down); }

    QTemporaryDir Dir;
};

TEST_F(SetupChoicesTest, ChoicesComeFromTheDprojAndAreRememberedPerProject) {
    Open();
    SetupPage& page = Page();
    EXPECT_FALSE(page.configChoice->isEnabled());
    page.projectEdit->setText(App());
    ASSERT_TRUE(page.configChoice->isEnabled());
    EXPECT_EQ(Items(*page.configChoice), QStringList({"Debug", "Release"}));
    EXPECT_EQ(Items(*page.platformChoice), QStringList({"Win32", "Win64"}));

    PickNext(page.configChoice);
    PickNext(page.platformChoice);
    EXPECT_EQ(page.definesEdit->text(), QStringLiteral("RELEASE;X64"));
    // Another project starts at its own defaults; coming back brings the choice back.
    page.projectEdit->setText(Dir.filePath(QStringLiteral("Other.dproj")));
    EXPECT_EQ(page.definesEdit->text(), QStringLiteral("DEBUG"));
    page.projectEdit->setText(App());
    EXPECT_EQ(page.platformChoice->currentText(), QStringLiteral("Win64"));
    Window->close();

    auto settings = Settings.Reopen();
    // A later run, started with the project as its argument, scans it as chosen. The window
    // saves into its settings when it goes, so it goes first.
    const auto later = Make(*settings, {App()});
    later->show();
    EXPECT_EQ(later->Setup().definesEdit->text(), QStringLiteral("RELEASE;X64"));
    EXPECT_EQ(later->Scan().FConfig, "Release");
}

// A Lazarus project whose build modes define their own symbols.
constexpr const char* Lpi = R"(<CONFIG><ProjectOptions>
  <BuildModes><Item Name="Default" Default="True"/><Item Name="Release">
    <CompilerOptions><Other><CustomOptions Value="-dRELEASE"/></Other></CompilerOptions>
  </Item></BuildModes>
  <Units><Unit><Filename Value="Laz.lpr"/></Unit></Units>
</ProjectOptions>
<CompilerOptions><Other><CustomOptions Value="-dDEBUG"/></Other></CompilerOptions></CONFIG>
)";

TEST_F(SetupChoicesTest, TheCompilerIsTheUsersSaveForALazarusProjectWhoseBuildModeIsChosen) {
    const QString lpi = WriteFile(Dir.filePath(QStringLiteral("Laz.lpi")), Lpi);
    Open();
    SetupPage& page = Page();
    const SetupInputs& inputs = Window->Scan().Inputs;
    page.projectEdit->setText(lpi);
    EXPECT_EQ(page.compilerChoice->currentText(), QStringLiteral("Free Pascal"));
    EXPECT_FALSE(page.compilerChoice->isEnabled());
    EXPECT_EQ(CompilerName(inputs.Compiler), "fpc");
    EXPECT_EQ(Items(*page.configChoice), QStringList({"Default", "Release"}));
    EXPECT_FALSE(page.platformChoice->isEnabled());
    PickNext(page.configChoice);
    EXPECT_EQ(inputs.BuildMode, "Release");
    EXPECT_EQ(page.definesEdit->text(), QStringLiteral("RELEASE"));

    // Another project is read as the user chose.
    page.projectEdit->setText(App());
    EXPECT_EQ(CompilerName(inputs.Compiler), "delphi");
    EXPECT_TRUE(page.compilerChoice->isEnabled());
    EXPECT_TRUE(page.delphiVersionChoice->isEnabled());
    PickNext(page.compilerChoice);
    EXPECT_EQ(CompilerName(inputs.Compiler), "fpc");
    EXPECT_FALSE(page.delphiVersionChoice->isEnabled()) << "Free Pascal's version is its own";
    page.projectEdit->setText(lpi);
    EXPECT_EQ(page.configChoice->currentText(), QStringLiteral("Release"));
    Window->close();

    auto settings = Settings.Reopen();
    // A later run started on the Lazarus project: its build mode, then the user's compiler
    // for the next project.
    const auto later = Make(*settings, {lpi});
    later->show();
    EXPECT_EQ(later->Setup().configChoice->currentText(), QStringLiteral("Release"));
    later->Setup().projectEdit->setText(App());
    EXPECT_EQ(CompilerName(later->Scan().Inputs.Compiler), "fpc");
    later->Setup().projectEdit->setText(lpi);
    later->close();

    // The remembered mode has gone from the file: the project opens at its default mode, and
    // the log tells why.
    WriteFile(lpi, QByteArray(Lpi).replace("Release", "Final"));
    auto third = Settings.Reopen();
    const auto last = Make(*third, {lpi});
    last->show();
    EXPECT_EQ(last->Setup().definesEdit->text(), QStringLiteral("DEBUG"));
    EXPECT_EQ(LogTexts(*last->Setup().logView).filter("no build mode \"Release\"").size(), 1);
}

// Guards against boxes stacked on an empty screen before the window: the argument's scan
// ran while the window was made, and the registry's warnings came as boxes.
TEST_F(SetupChoicesTest, NothingIsAskedBeforeTheWindowIsUpAndItsLogTellsTheWarnings) {
    const QString project =
        WriteFile(Dir.filePath(QStringLiteral("P.dpr")), "program P;\nuses Windows;\nbegin end.\n");
    ut::RegistryStore registry;
    registry.AddFile("/nonexistent/user.reg");
    Window = Make(Settings.Settings(), {project}, &registry);
    EXPECT_TRUE(Log().isEmpty());
    Window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(Prompts.Warnings + Prompts.Errors, QStringList());
    EXPECT_EQ(
        Log(),
        QStringList({"Cannot read the registry file \"/nonexistent/user.reg\"",
                     "Scanning project " + project,
                     "No Delphi installation was found and no version was named: the sources are "
                     "read with WIN32 alone. Name a version with --delphi (7, 2007, XE7, "
                     "11.3, 12.3, ...) or in the \"Delphi version\" box, and an "
                     "installation with a registry export (--registry FILE, "
                     "UNITRACE_REGISTRY) or a Wine prefix (WINEPREFIX)",
                     "P: parsed...", "Done"}));
    const std::vector<LogLine> log = ReadLog(*Page().logView);
    EXPECT_TRUE(log[0].Italic && log[2].Italic);
    // The log of the result is the scan's alone, as the command line writes it.
    EXPECT_EQ(QString::fromStdString(Window->FrontEnd().LogEntries().front().Text), Log()[1]);
}

// Guards against a Lazarus project resolving Forms to a Delphi installation's VCL.
TEST_F(SetupChoicesTest, ALazarusProjectTakesNoLibraryFromTheDelphiInstallation) {
    const QString vcl = Dir.filePath(QStringLiteral("vcl"));
    ut::RegistryStore registry;
    registry.AddText("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Embarcadero\\BDS\\23.0\\Library\\"
                     "Win32]\n\"Search Path\"=\"" +
                     vcl.toStdString() + "\"\n");
    QDir(Dir.path()).mkdir(QStringLiteral("vcl"));
    WriteFile(vcl + QStringLiteral("/Forms.pas"), "unit Forms;\ninterface\nimplementation\nend.\n");
    WriteFile(Dir.filePath(QStringLiteral("Laz.lpr")), "program Laz;\nuses Forms;\nbegin end.\n");
    WriteFile(Dir.filePath(QStringLiteral("P.dpr")), "program P;\nuses Forms;\nbegin end.\n");
    Open({}, &registry);
    const struct {
        const char* Project;
        QString LibPath, FormsLine;
    } cases[] = {{"Laz.lpr", QString(), QStringLiteral("  Forms: not found")},
                 {"P.dpr", vcl, QStringLiteral("  Forms: parsed...")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Project);
        Page().projectEdit->setText(Dir.filePath(QLatin1String(c.Project)));
        EXPECT_EQ(Page().libPathEdit->text(), c.LibPath);
        QTest::mouseClick(Page().startButton, Qt::LeftButton);
        EXPECT_TRUE(Log().contains(c.FormsLine)) << Log().join('|').toStdString();
    }
}

// Guards against two spellings of one version: the box showed "12" at start but wrote
// "Delphi 12 Athens" into the scan and the exported JSON once picked from the list.
TEST_F(SetupChoicesTest, NewestInstalledVersionFirstPickedOrTypedVersionsReadTheirPaths) {
    ut::RegistryStore registry;
    registry.AddText(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\Software\Borland\Delphi\5.0]
"RootDir"="/opt/d5"
[HKEY_CURRENT_USER\Software\Borland\Delphi\5.0\Library]
"Search Path"="/opt/d5/Lib"
"Browsing Path"="/opt/d5/Source"
[HKEY_CURRENT_USER\Software\Embarcadero\BDS\23.0]
"RootDir"="/opt/bds23"
[HKEY_CURRENT_USER\Software\Embarcadero\BDS\23.0\Library\Win32]
"Search Path"="/opt/bds23/lib/win32"
)");
    Open({}, &registry);
    QComboBox& versions = *Page().delphiVersionChoice;
    EXPECT_EQ(Items(versions), QStringList({"Delphi 12 Athens", "Delphi 5"}));
    const struct {
        const char* Name;
        std::function<void()> Act;
        QString Shown;
        std::string Version, Root;
    } cases[] = {{"at start", [] {}, "Delphi 12 Athens", "12", "/opt/bds23"},
                 {"picked",
                  [&] {
                      PickNext(&versions);
                      PickNext(&versions);
                  },
                  "Delphi 5", "5.0", "/opt/d5"},
                 {"picked again", [&] { QTest::keyClick(&versions, Qt::Key_Up); },
                  "Delphi 12 Athens", "12", "/opt/bds23"},
                 {"typed by its number", [&] { Page().delphiVersionEdit->setText("23.0"); }, "23.0",
                  "12", "/opt/bds23"},
                 // A version without a key reads nothing, a full one its paths.
                 {"typed without a key",
                  [&] {
                      Page().delphiVersionEdit->clear();
                      QTest::keyClicks(Page().delphiVersionEdit, QStringLiteral("5"));
                  },
                  "5", "5", "/opt/bds23"},
                 {"typed in full",
                  [&] { QTest::keyClicks(Page().delphiVersionEdit, QStringLiteral(".0")); }, "5.0",
                  "5.0", "/opt/d5"},
                 // A restored version wins over the newest.
                 {"restored",
                  [&] {
                      Window->close();
                      Window.reset();
                      Open({}, &registry);
                  },
                  "Delphi 5", "5.0", "/opt/d5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Act();
        EXPECT_EQ(Page().delphiVersionEdit->text(), c.Shown);
        EXPECT_EQ(Window->Scan().Inputs.Delphi, c.Version);
        EXPECT_EQ(Window->Scan().FDelphiRoot, c.Root);
    }
    EXPECT_EQ(Page().browsePathEdit->text(), QStringLiteral("/opt/d5/Source"));
    Page().delphiVersionChoice->setCurrentIndex(0);
    Page().projectEdit->setText(Fixture("Proj/Proj.dpr"));
    QTest::mouseClick(Page().startButton, Qt::LeftButton);
    EXPECT_NE(Window->Export().ResultDocument().find(R"("version":"12")"), std::string::npos);
}

} // namespace
} // namespace ut::gui::test
