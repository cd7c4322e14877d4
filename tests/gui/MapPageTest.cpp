#include "gui/MapPage.h"
#include "GuiTestSupport.h"
#include "gui/FindDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace ut::gui::testing {
namespace {

// Lines end in CR LF as the linker writes them; the view shows each break as one position,
// so the hits lie at 0, 9, 18 ("units") and 24 in the view but at 0, 10, 20, 27 in the file.
const char kMap[] = "unit one\r\nUnit two\r\nunits\r\nunit end\r\n";

QString DownQuestion(const QString& text) {
    return QStringLiteral("The text \"%1\" was not found until end of file...\r\n"
                          "Start from beginning?")
        .arg(text);
}

class MapPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        page = std::make_unique<MapPage>(nullptr, &prompts);
        page->resize(480, 320);
    }

    QString Write(const QString& name, const QByteArray& bytes) {
        return test::WriteFile(dir.filePath(name), bytes);
    }

    void Load(const QByteArray& bytes) {
        page->SetMapFileName(Write(QStringLiteral("Demo.map"), bytes));
        page->MapViewOutdated();
        page->Activate();
    }

    // A key pressed in the view; the page's window is made the active one first (a closed
    // dialog leaves no active window on the headless platform).
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == page.get(); }));
        page->mapView->setFocus();
        QTest::keyClick(page->mapView, Qt::Key(key), modifiers);
    }

    static void SetBox(QAbstractButton* box, bool on) {
        if (box->isChecked() != on)
            QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(4, box->height() / 2));
        ASSERT_EQ(box->isChecked(), on) << box->objectName().toStdString();
    }

    // A search as the user starts it: Ctrl+F, the text typed over the old one, the options
    // clicked, and "&Find Next".
    void SearchFromDialog(const QString& text, bool down = true, bool matchCase = false,
                          bool wholeWord = false) {
        Key(Qt::Key_F, Qt::ControlModifier);
        FindDialog* dlg = page->findDialog;
        ASSERT_TRUE(dlg->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg));
        dlg->FindEdit()->insert(text); // over the selected old text
        SetBox(down ? dlg->DownButton() : dlg->UpButton(), true);
        SetBox(dlg->MatchCaseBox(), matchCase);
        SetBox(dlg->WholeWordBox(), wholeWord);
        QTest::mouseClick(dlg->FindNextButton(), Qt::LeftButton);
        EXPECT_FALSE(dlg->isVisible());
    }

    void SetCaret(int position) {
        QTextCursor cursor = page->mapView->textCursor();
        cursor.setPosition(position);
        page->mapView->setTextCursor(cursor);
    }
    int SelStart() const { return page->mapView->textCursor().selectionStart(); }
    QString Selected() const { return page->mapView->textCursor().selectedText(); }

    QTemporaryDir dir;
    test::FakePrompts prompts;
    std::unique_ptr<MapPage> page;
};

TEST_F(MapPageTest, LoadsEachByteAsOneCharacterOnceUntilOutdated) {
    QPlainTextEdit* view = page->mapView;
    EXPECT_TRUE(view->isReadOnly());
    EXPECT_TRUE(test::DrawsFixedPitch(view->font()));

    // Nothing is decoded as UTF-8 or dropped.
    Load("M=\xC4rger \xC3\xA4\r\n");
    EXPECT_EQ(view->toPlainText(), QString::fromLatin1("M=\xC4rger \xC3\xA4\n", qsizetype(11)));

    Write(QStringLiteral("Demo.map"), "second\r\n");
    page->Activate();
    EXPECT_EQ(view->toPlainText().size(), 11); // still the loaded text
    page->MapViewOutdated();
    page->Activate();
    EXPECT_EQ(view->toPlainText(), "second\n");

    // A new file name counts as a change too, and is found in another letter case.
    Write(QStringLiteral("Other.map"), "third");
    page->SetMapFileName(dir.filePath(QStringLiteral("OTHER.MAP")));
    page->Activate();
    EXPECT_EQ(view->toPlainText(), "third");
    // A missing file leaves the view empty, with no warning.
    page->SetMapFileName(dir.filePath(QStringLiteral("Missing.map")));
    page->Activate();
    EXPECT_TRUE(view->toPlainText().isEmpty());
    EXPECT_TRUE(prompts.Warnings.isEmpty());
}

// The popup menu, Ctrl+F and F3 open the dialog; Enter finds and the text and options are
// kept; F3 visits every hit in view positions (CR LF is one position there), then asks to
// wrap; a character no byte of the view stands for is found nowhere. The search itself is
// checked in the map search tests of the core.
TEST_F(MapPageTest, DialogKeepsTextAndOptionsAndF3StepsInViewPositionsAndWraps) {
    Load(kMap);
    page->show();
    emit page->mapView->customContextMenuRequested(QPoint(10, 10));
    EXPECT_TRUE(page->mapMenu->isVisible());
    page->mapMenu->close();
    FindDialog* dlg = page->findDialog;
    Key(Qt::Key_F3); // nothing searched yet: the dialog
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isModal());
    dlg->close();
    Key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg));
    QTest::keyClicks(dlg->FindEdit(), "two");
    SetBox(dlg->MatchCaseBox(), true);
    QTest::keyClick(dlg->FindEdit(), Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(Selected(), "two");
    Key(Qt::Key_F, Qt::ControlModifier); // what was entered last, selected for overtyping
    EXPECT_EQ(dlg->FindEdit()->selectedText(), "two");
    EXPECT_TRUE(dlg->MatchCaseBox()->isChecked());
    dlg->close();

    prompts.ConfirmAnswer = true;
    SetCaret(0);
    SearchFromDialog(QStringLiteral("unit"));
    EXPECT_EQ(SelStart(), 9);
    EXPECT_EQ(Selected(), "Unit");
    Key(Qt::Key_F3);
    EXPECT_EQ(SelStart(), 18);
    Key(Qt::Key_F3);
    EXPECT_EQ(SelStart(), 24);
    EXPECT_TRUE(prompts.Questions.isEmpty());
    Key(Qt::Key_F3);
    EXPECT_EQ(prompts.Questions, QStringList{DownQuestion("unit")});
    EXPECT_EQ(SelStart(), 0);
    SetCaret(24);
    SearchFromDialog(QStringLiteral("unit"), /*down=*/false);
    EXPECT_EQ(SelStart(), 18);
    SearchFromDialog(QStringLiteral("unit"), true, false, /*wholeWord=*/true);
    EXPECT_EQ(SelStart(), 24); // "units" at 18 is a longer word
    EXPECT_TRUE(prompts.Warnings.isEmpty());
    // Latin-1 letters match the bytes, ASCII ones in either case; the euro sign no byte.
    Load("Module=Stra\xDF"
         "e\r\n");
    SearchFromDialog(QStringLiteral("STRA") + QChar(0xDF));
    EXPECT_EQ(SelStart(), 7);
    SearchFromDialog(QString::fromUtf8("Stra\xC3\x9F"
                                       "e\xE2\x82\xAC"));
    EXPECT_EQ(prompts.Warnings, QStringList{QString::fromUtf8("The text \"Stra\xC3\x9F"
                                                              "e\xE2\x82\xAC\" was not found!")});
}

} // namespace
} // namespace ut::gui::testing
