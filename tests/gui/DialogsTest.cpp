// The ignored-units editor behind "&Ignore units" and the check-list selection dialog,
// driven as the user drives them.
#include "GuiTestSupport.h"

#include "gui/CheckSelect.h"
#include "gui/SetupPage.h"
#include "gui/SimpleEdit.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace ut::gui::test {
namespace {

/// Answers the next modal TFSimpleEdit with `act` once it is up.
void WhenEditorUp(std::function<void(TFSimpleEdit&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, tries] {
        auto* dialog = qobject_cast<TFSimpleEdit*>(QApplication::activeModalWidget());
        if (!dialog && ++*tries < 300)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog) {
            ADD_FAILURE() << "the editor did not come up";
            return;
        }
        act(*dialog);
    });
    timer->start();
}

struct LinesCase {
    const char* Name;
    QString Text;
    QStringList Lines;
};

class SimpleEditLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(SimpleEditLinesTest, LinesAreTakenAsTyped) {
    TFSimpleEdit editor(nullptr);
    editor.Editor->setPlainText(GetParam().Text);
    EXPECT_EQ(editor.GetLines(), GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(Text, SimpleEditLinesTest,
                         ::testing::Values(LinesCase{"Empty", "", {}},
                                           LinesCase{"OneLine", "A", {"A"}},
                                           // A final line break starts no further line.
                                           LinesCase{"FinalLineBreak", "A\nB\n", {"A", "B"}},
                                           LinesCase{"EmptyLineKept", "A\n\nB", {"A", "", "B"}},
                                           LinesCase{"BlanksKept", " A \n", {" A "}},
                                           LinesCase{"OnlyALineBreak", "\n", {""}}),
                         [](const ::testing::TestParamInfo<LinesCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST(SimpleEditTest, AsCreated) {
    TFSimpleEdit editor(nullptr);
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Edit..."));
    EXPECT_EQ(editor.btOk->text(), QStringLiteral("OK"));
    EXPECT_EQ(editor.btCancel->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(editor.btOk->isDefault());
    editor.SetLines({"Windows", "", "Classes"});
    EXPECT_EQ(editor.Editor->toPlainText(), QStringLiteral("Windows\n\nClasses"));
    EXPECT_EQ(editor.GetLines(), QStringList({"Windows", "", "Classes"}));
}

class IgnoredUnitsEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FSavedDir = ut::fs::GetCurrentDir();
        MainWindow::Options options;
        options.prompts = &Prompts;
        Window = std::make_unique<MainWindow>(Settings.Settings(), options);
        Window->show();
    }
    void TearDown() override {
        Window.reset();
        ut::fs::SetCurrentDir(FSavedDir);
    }
    void ClickIgnoreUnits() { QTest::mouseClick(Window->Setup().btIgnored, Qt::LeftButton); }
    std::vector<std::string> Ignored() { return Window->Scan().IgnUnits.Lines().ToVector(); }

    const std::vector<std::string> Defaults = {"Classes", "Graphics", "Messages", "SysUtils",
                                               "Windows"};
    TempSettings Settings;
    FakePrompts Prompts;
    std::unique_ptr<MainWindow> Window;

  private:
    std::string FSavedDir;
};

TEST_F(IgnoredUnitsEditorTest, OkAssignsTheLinesSortedWithoutCaseDuplicates) {
    QString caption, shown;
    WhenEditorUp([&](TFSimpleEdit& editor) {
        caption = editor.windowTitle();
        shown = editor.Editor->toPlainText();
        editor.Editor->setPlainText(QStringLiteral("zeta\nAlpha\nalpha\n beta\n\nZeta\nForms"));
        editor.btOk->click();
    });
    ClickIgnoreUnits();
    EXPECT_EQ(caption, QStringLiteral("List of ignored units:"));
    EXPECT_EQ(shown, QStringLiteral("Classes\nGraphics\nMessages\nSysUtils\nWindows"));
    // Sorted; of names equal but for case the first stays; blanks and empty lines are names.
    EXPECT_EQ(Ignored(), (std::vector<std::string>{"", " beta", "Alpha", "Forms", "zeta"}));
    // The new list is what the scan ignores.
    EXPECT_TRUE(Window->Scan().IsIgnored("FORMS"));
    EXPECT_FALSE(Window->Scan().IsIgnored("SysUtils"));
}

TEST_F(IgnoredUnitsEditorTest, EscapeInTheEditorAndCancelChangeNothing) {
    int result = -1;
    WhenEditorUp([&](TFSimpleEdit& editor) {
        editor.Editor->setPlainText(QStringLiteral("Other"));
        QTest::keyClick(editor.Editor, Qt::Key_Escape);
        result = editor.result();
    });
    ClickIgnoreUnits();
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(Ignored(), Defaults);

    WhenEditorUp([&](TFSimpleEdit& editor) {
        editor.Editor->clear();
        editor.btCancel->click();
    });
    ClickIgnoreUnits();
    EXPECT_EQ(Ignored(), Defaults);
}

TEST_F(IgnoredUnitsEditorTest, OkWithEveryLineDeletedEmptiesTheList) {
    WhenEditorUp([](TFSimpleEdit& editor) {
        editor.Editor->selectAll();
        QTest::keyClick(editor.Editor, Qt::Key_Delete);
        editor.btOk->click();
    });
    ClickIgnoreUnits();
    EXPECT_TRUE(Ignored().empty());
}

TEST(CheckSelectTest, ItemsKeepTheirOrderAndStartUnticked) {
    TFCheckSel dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select..."));
    for (const char* text : {"lib", "", "forms"})
        dialog.AddItem(QString::fromUtf8(text));
    ASSERT_EQ(dialog.Count(), 3);
    QStringList texts;
    for (int i = 0; i < dialog.Count(); ++i) {
        texts << dialog.ChList->item(i)->text();
        EXPECT_FALSE(dialog.Checked(i));
    }
    EXPECT_EQ(texts, QStringList({"lib", "", "forms"}));
    // A click on the check box ticks the item.
    QListWidgetItem* item = dialog.ChList->item(2);
    dialog.show();
    dialog.ChList->setCurrentItem(item);
    QTest::keyClick(dialog.ChList, Qt::Key_Space);
    EXPECT_TRUE(dialog.Checked(2));
    EXPECT_FALSE(dialog.Checked(0));
    EXPECT_FALSE(dialog.Checked(7)); // no such item
}

} // namespace
} // namespace ut::gui::test
