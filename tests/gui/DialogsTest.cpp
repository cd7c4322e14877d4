// The ignored-units editor behind "&Ignore units" and the check-list selection dialog,
// driven as the user drives them.
#include "GuiTestSupport.h"

#include "gui/CheckSelect.h"
#include "gui/SetupPage.h"
#include "gui/SimpleEdit.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>

namespace ut::gui::test {
namespace {

TEST(SimpleEditTest, LinesAreTakenAsTypedAndShownAsSet) {
    const std::pair<QString, QStringList> cases[] = {
        {"", {}},
        {"A", {"A"}},
        {"A\nB\n", {"A", "B"}}, // a final line break starts no further line
        {"A\n\nB", {"A", "", "B"}},
        {" A \n", {" A "}},
        {"\n", {""}},
    };
    TFSimpleEdit editor(nullptr);
    for (const auto& [text, lines] : cases) {
        editor.Editor->setPlainText(text);
        EXPECT_EQ(editor.GetLines(), lines) << text.toStdString();
    }
    editor.SetLines({"Windows", "", "Classes"});
    EXPECT_EQ(editor.Editor->toPlainText(), QStringLiteral("Windows\n\nClasses"));
    EXPECT_TRUE(editor.btOk->isDefault());
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
    WhenModal<TFSimpleEdit>([&](TFSimpleEdit& editor) {
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

TEST_F(IgnoredUnitsEditorTest, EscapeAndCancelChangeNothingOkWithEveryLineDeletedEmpties) {
    const std::vector<std::string> defaults = Ignored();
    ASSERT_EQ(defaults.size(), 5u);
    WhenModal<TFSimpleEdit>([&](TFSimpleEdit& editor) {
        editor.Editor->setPlainText(QStringLiteral("Other"));
        QTest::keyClick(editor.Editor, Qt::Key_Escape);
    });
    ClickIgnoreUnits();
    EXPECT_EQ(Ignored(), defaults);

    WhenModal<TFSimpleEdit>([&](TFSimpleEdit& editor) {
        editor.Editor->clear();
        editor.btCancel->click();
    });
    ClickIgnoreUnits();
    EXPECT_EQ(Ignored(), defaults);

    WhenModal<TFSimpleEdit>([](TFSimpleEdit& editor) {
        editor.Editor->selectAll();
        QTest::keyClick(editor.Editor, Qt::Key_Delete);
        editor.btOk->click();
    });
    ClickIgnoreUnits();
    EXPECT_TRUE(Ignored().empty());
}

TEST(CheckSelectTest, ItemsKeepTheirOrderAndStartUnticked) {
    TFCheckSel dialog(nullptr);
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
