// The ignored-units editor behind "&Ignore units" and the message and input boxes, driven as
// the user drives them.
#include "GuiTestSupport.h"

#include "gui/TextEditDialog.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace ut::gui::test {
namespace {

using IgnoredUnitsEditorTest = WindowTest;

TEST_F(IgnoredUnitsEditorTest, OkAssignsTheLinesSortedWithoutCaseDuplicatesOthersChangeNothing) {
    Open();
    const auto edit = [this](const std::function<void(TextEditDialog&)>& act) {
        WhenModal<TextEditDialog>(act);
        QTest::mouseClick(Page().ignoredUnitsButton, Qt::LeftButton);
        return Window->Scan().IgnUnits.Lines().ToVector();
    };
    const std::vector<std::string> defaults = Window->Scan().IgnUnits.Lines().ToVector();
    EXPECT_EQ(edit([](TextEditDialog& editor) {
                  editor.editor->clear();
                  editor.cancelButton->click();
              }),
              defaults);
    QString shown;
    // Sorted; of names equal but for case the first stays; blanks and empty lines are names,
    // the break after the last line is none.
    EXPECT_EQ(edit([&](TextEditDialog& editor) {
                  shown = editor.editor->toPlainText();
                  editor.editor->setPlainText(
                      QStringLiteral("zeta\nAlpha\nalpha\n beta\n\nZeta\nForms\n"));
                  editor.okButton->click();
              }),
              (std::vector<std::string>{"", " beta", "Alpha", "Forms", "zeta"}));
    EXPECT_EQ(shown, QStringLiteral("Classes\nGraphics\nMessages\nSysUtils\nWindows"));
    EXPECT_TRUE(Window->Scan().IsIgnored("FORMS")) << "the new list is what the scan ignores";
    EXPECT_FALSE(Window->Scan().IsIgnored("SysUtils"));
    EXPECT_EQ(edit([](TextEditDialog& editor) {
                  editor.editor->selectAll();
                  QTest::keyClick(editor.editor, Qt::Key_Delete);
                  editor.okButton->click();
              }),
              std::vector<std::string>{});
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

} // namespace
} // namespace ut::gui::test
