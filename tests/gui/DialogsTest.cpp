// The ignored-units editor behind "&Ignore units" and the check-list selection dialog,
// driven as the user drives them.
#include "GuiTestSupport.h"

#include "gui/CheckListDialog.h"
#include "gui/SetupPage.h"
#include "gui/TextEditDialog.h"

#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>

namespace ut::gui::test {
namespace {

TEST(TextEditDialogTest, LinesAreTakenAsTypedAndShownAsSet) {
    const std::pair<QString, QStringList> cases[] = {
        {"", {}},
        {"A", {"A"}},
        {"A\nB\n", {"A", "B"}}, // a final line break starts no further line
        {"A\n\nB", {"A", "", "B"}},
        {" A \n", {" A "}},
        {"\n", {""}},
    };
    TextEditDialog editor(nullptr);
    for (const auto& [text, lines] : cases) {
        editor.editor->setPlainText(text);
        EXPECT_EQ(editor.GetLines(), lines) << text.toStdString();
    }
    editor.SetLines({"Windows", "", "Classes"});
    EXPECT_EQ(editor.editor->toPlainText(), QStringLiteral("Windows\n\nClasses"));
    EXPECT_TRUE(editor.okButton->isDefault());
}

// Guards against boxes titled with the binary's name and an input box narrower than its title.
TEST(MessageBoxPromptsTest, BoxesCarryTheApplicationsTitleAndTheInputBoxFitsItsTitle) {
    Application::Instance()->SetTitle(QStringLiteral("Demo.dpr"));
    MessageBoxPrompts prompts(nullptr);
    QStringList titles;
    const auto answer = [&titles](QMessageBox& box) {
        titles << box.windowTitle();
        box.button(QMessageBox::Yes) ? box.button(QMessageBox::Yes)->click() : box.accept();
    };
    WhenModal<QMessageBox>(answer);
    prompts.Warning(QStringLiteral("w"));
    WhenModal<QMessageBox>(answer);
    prompts.ErrorMessage(QStringLiteral("e"));
    WhenModal<QMessageBox>(answer);
    EXPECT_TRUE(prompts.Confirm(QStringLiteral("q")));
    EXPECT_EQ(titles, QStringList({"Demo.dpr", "Demo.dpr", "Demo.dpr"}));

    const QString caption = QStringLiteral("Enter minimal size of unit to keep it");
    WhenModal<QInputDialog>([&caption](QInputDialog& box) {
        EXPECT_EQ(box.windowTitle(), caption);
        EXPECT_GT(box.width(), box.fontMetrics().horizontalAdvance(caption));
        box.setTextValue(QStringLiteral("100"));
        box.accept();
    });
    QString value = QStringLiteral("256");
    EXPECT_TRUE(prompts.InputQuery(caption, QStringLiteral("Min size:"), value));
    EXPECT_EQ(value, QStringLiteral("100"));
}

class IgnoredUnitsEditorTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        Open();
    }
    void ClickIgnoreUnits() { QTest::mouseClick(Page().ignoredUnitsButton, Qt::LeftButton); }
    std::vector<std::string> Ignored() { return Window->Scan().IgnUnits.Lines().ToVector(); }
};

TEST_F(IgnoredUnitsEditorTest, OkAssignsTheLinesSortedWithoutCaseDuplicates) {
    QString caption, shown;
    WhenModal<TextEditDialog>([&](TextEditDialog& editor) {
        caption = editor.windowTitle();
        shown = editor.editor->toPlainText();
        editor.editor->setPlainText(QStringLiteral("zeta\nAlpha\nalpha\n beta\n\nZeta\nForms"));
        editor.okButton->click();
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

TEST_F(IgnoredUnitsEditorTest, EscapeAndCancelChangeNothingOkWithEveryLineDeletedEmpties) {
    const std::vector<std::string> defaults = Ignored();
    ASSERT_EQ(defaults.size(), 5u);
    WhenModal<TextEditDialog>([&](TextEditDialog& editor) {
        editor.editor->setPlainText(QStringLiteral("Other"));
        QTest::keyClick(editor.editor, Qt::Key_Escape);
    });
    ClickIgnoreUnits();
    EXPECT_EQ(Ignored(), defaults);

    WhenModal<TextEditDialog>([&](TextEditDialog& editor) {
        editor.editor->clear();
        editor.cancelButton->click();
    });
    ClickIgnoreUnits();
    EXPECT_EQ(Ignored(), defaults);

    WhenModal<TextEditDialog>([](TextEditDialog& editor) {
        editor.editor->selectAll();
        QTest::keyClick(editor.editor, Qt::Key_Delete);
        editor.okButton->click();
    });
    ClickIgnoreUnits();
    EXPECT_TRUE(Ignored().empty());
}

TEST(CheckListDialogTest, ItemsKeepTheirOrderAndStartUnticked) {
    CheckListDialog dialog(nullptr);
    for (const char* text : {"lib", "", "forms"})
        dialog.AddItem(QString::fromUtf8(text));
    ASSERT_EQ(dialog.Count(), 3);
    QStringList texts;
    for (int i = 0; i < dialog.Count(); ++i) {
        texts << dialog.checkList->item(i)->text();
        EXPECT_FALSE(dialog.Checked(i));
    }
    EXPECT_EQ(texts, QStringList({"lib", "", "forms"}));
    // A click on the check box ticks the item.
    QListWidgetItem* item = dialog.checkList->item(2);
    dialog.show();
    dialog.checkList->setCurrentItem(item);
    QTest::keyClick(dialog.checkList, Qt::Key_Space);
    EXPECT_TRUE(dialog.Checked(2));
    EXPECT_FALSE(dialog.Checked(0));
    EXPECT_FALSE(dialog.Checked(7)); // no such item
}

} // namespace
} // namespace ut::gui::test
