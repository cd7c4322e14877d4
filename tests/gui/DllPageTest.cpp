// The "DLL usage" page through its widgets, with a stand-in dump tool that records every
// file it is asked about and prints the file's own text (so each test file holds its
// "Imports from" lines), and with the real tdump on the committed PE fixtures.
#include "gui/DllPage.h"
#include "GuiTestSupport.h"
#include "gui/DllTree.h"
#include "gui/EnterMovesFocus.h"
#include "gui/FileNameEdit.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ut::gui::testing {
namespace {

using Names = std::vector<std::string>;

Names Strings(const QStringList& list) {
    Names out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}

Names ChildTexts(const QTreeWidgetItem* node) {
    Names texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts.push_back(node->child(i)->text(0).toStdString());
    return texts;
}

QTreeWidgetItem* ChildNamed(QTreeWidgetItem* node, const QString& text) {
    for (int i = 0; i < node->childCount(); ++i)
        if (node->child(i)->text(0) == text)
            return node->child(i);
    ADD_FAILURE() << "no child " << text.toStdString();
    return nullptr;
}

/// Not expanded yet: exactly one child, the placeholder.
bool Unexpanded(const QTreeWidgetItem* node) {
    return node && node->childCount() == 1 && DllTree::IsPlaceholder(node->child(0));
}

class DllPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Blanks in every path: the directory, the tool and the inspected files.
        dir =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/dll page XXXXXX"));
        ASSERT_TRUE(dir->isValid());
        tool = Path("fake tdump");
        WriteScript(tool, "printf '%s\\n' \"$2\" >> \"$(dirname \"$0\")/calls.log\"\n"
                          "exec cat -- \"$2\"\n");
        page.SetDumpTool(tool);
        page.SetLogSink([this](const QString& text) { log << text; });
        page.SetPrompts(&prompts);
        page.resize(400, 300);
    }

    QString Path(const QString& name) const { return dir->filePath(name); }

    void WriteScript(const QString& file, const char* body) const {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.write(body);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    /// A library or executable that "imports" `imports`.
    void Lib(const QString& name, const QStringList& imports) const {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QString& import : imports)
            f.write(("Imports from " + import + "\n").toUtf8());
    }

    /// The files dumped so far, by name without directory.
    Names Dumped() const {
        QFile f(Path("calls.log"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        Names names;
        for (const QString& line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts))
            names.push_back(QFileInfo(line).fileName().toStdString());
        return names;
    }

    QTreeWidgetItem* Root() const { return page.dllTree->Root(); }
    /// Lets the dumps started so far deliver their results.
    void Settle() { page.dllTree->WaitForDumps(); }

    /// Expands `node` as the user does: select it and press "+".
    void Expand(QTreeWidgetItem* node) {
        ASSERT_NE(node, nullptr);
        page.dllTree->setCurrentItem(node);
        QTest::keyClick(page.dllTree, Qt::Key_Plus);
        Settle();
        ASSERT_TRUE(node->isExpanded());
    }

    Names RegisteredNames() const {
        Names names;
        const auto& nodes = page.dllTree->DllNodes();
        for (int i = 0; i < nodes.Count(); ++i) {
            EXPECT_EQ(DllTree::NodePath(nodes.Objects(i)), nodes[i]);
            names.push_back(QFileInfo(QString::fromStdString(nodes[i])).fileName().toStdString());
        }
        return names;
    }

    /// The page showing `exe`'s tree.
    void ShowTree(const QString& exe) {
        page.SetExeName(Path(exe));
        Settle();
        page.show();
        page.Activate();
        Settle();
        ASSERT_NE(Root(), nullptr);
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString tool;
    QStringList log;
    test::FakePrompts prompts;
    DllPage page;
};

TEST_F(DllPageTest, ActivationBuildsTheRootAndItsFirstLevelWithOneDump) {
    // Two import sections from one library, in different letter cases, give one node.
    Lib("app.exe", {"a.dll", "B.DLL", "missing.dll", "A.DLL"});
    Lib("a.dll", {"c.dll"});
    Lib("b.dll", {});
    page.SetExeName(Path("app.exe")); // from the options file, page not on view
    Settle();
    EXPECT_EQ(page.exeEdit->text(), Path("app.exe"));
    EXPECT_EQ(page.dllTree->topLevelItemCount(), 0);
    EXPECT_TRUE(Dumped().empty());

    page.show();
    page.Activate();
    Settle();
    ASSERT_EQ(page.dllTree->topLevelItemCount(), 1);
    EXPECT_EQ(Root()->text(0).toStdString(), "app.exe");
    EXPECT_TRUE(Root()->isExpanded());
    EXPECT_EQ(ChildTexts(Root()), Names({"a.dll", "B.DLL", "missing.dll"}));
    EXPECT_EQ(Dumped(), Names({"app.exe"}));
    EXPECT_TRUE(Unexpanded(ChildNamed(Root(), "a.dll")));
    EXPECT_TRUE(Unexpanded(ChildNamed(Root(), "B.DLL"))); // found as b.dll in any case
    EXPECT_EQ(ChildNamed(Root(), "missing.dll")->childCount(), 0);
    EXPECT_EQ(RegisteredNames(), Names({"app.exe", "a.dll", "b.dll"}));
    // Only successful searches are remembered.
    EXPECT_EQ(page.dllTree->DllPaths()->ToVector(), std::vector<std::string>({"a.dll", "B.DLL"}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); // the wait cursor is gone again

    page.Activate(); // nodes present: nothing is built or dumped again
    Settle();
    EXPECT_EQ(Dumped(), Names({"app.exe"}));
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(DllPageTest, AMissingFileBuildsNothingAndAFailingToolLeavesTheRootEmpty) {
    page.SetExeName(Path("nowhere.exe"));
    Settle();
    page.show();
    page.Activate();
    Settle();
    EXPECT_EQ(page.dllTree->topLevelItemCount(), 0);
    EXPECT_TRUE(Dumped().empty());
    // Named while on view: the root shows the name; the stand-in's cat fails on the file.
    page.SetExeName(Path("still missing.exe"));
    Settle();
    ASSERT_NE(Root(), nullptr);
    EXPECT_EQ(Root()->childCount(), 0);
    EXPECT_EQ(Dumped(), Names({"still missing.exe"}));
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(DllPageTest, EachNodeIsDumpedOnceWhenFirstExpanded) {
    Lib("app.exe", {"a.dll", "b.dll"});
    Lib("a.dll", {"c.dll"});
    Lib("b.dll", {});
    Lib("c.dll", {});
    ShowTree("app.exe");
    QTreeWidgetItem* a = ChildNamed(Root(), "a.dll");
    Expand(a);
    EXPECT_EQ(ChildTexts(a), Names({"c.dll"}));
    EXPECT_TRUE(Unexpanded(a->child(0)));
    a->setExpanded(false);
    Expand(a);
    EXPECT_EQ(ChildTexts(a), Names({"c.dll"}));
    QTreeWidgetItem* b = ChildNamed(Root(), "b.dll");
    Expand(b); // imports nothing: the placeholder goes, no children come
    EXPECT_EQ(b->childCount(), 0);
    EXPECT_EQ(Dumped(), Names({"app.exe", "a.dll", "b.dll"}));
    EXPECT_EQ(RegisteredNames(), Names({"app.exe", "a.dll", "b.dll", "c.dll"}));
}

TEST_F(DllPageTest, ALibraryMetAgainCopiesTheFirstNodesChildrenAsTheyAre) {
    Lib("app.exe", {"a.dll", "b.dll", "d.dll"});
    Lib("a.dll", {"b.dll"});
    Lib("d.dll", {"b.dll"});
    Lib("b.dll", {"c.dll"});
    Lib("c.dll", {});
    ShowTree("app.exe");
    // Copied before the first b.dll was expanded: only its placeholder; expanding the copy
    // lists its imports, and the copy is never registered.
    Expand(ChildNamed(Root(), "d.dll"));
    QTreeWidgetItem* early = ChildNamed(ChildNamed(Root(), "d.dll"), "b.dll");
    EXPECT_TRUE(Unexpanded(early));
    Expand(early);
    EXPECT_EQ(ChildTexts(early), Names({"c.dll"}));
    EXPECT_TRUE(Unexpanded(ChildNamed(Root(), "b.dll")));
    // Copied after: b.dll's children, c.dll not expanded yet, with its path.
    Expand(ChildNamed(Root(), "b.dll"));
    Expand(ChildNamed(Root(), "a.dll"));
    QTreeWidgetItem* copy = ChildNamed(ChildNamed(Root(), "a.dll"), "b.dll");
    EXPECT_EQ(ChildTexts(copy), Names({"c.dll"}));
    EXPECT_TRUE(Unexpanded(copy->child(0)));
    EXPECT_EQ(copy->child(0)->toolTip(0), Path("c.dll"));
    // Every node is dumped when it is first expanded, copies included.
    EXPECT_EQ(Dumped(), Names({"app.exe", "d.dll", "b.dll", "b.dll", "a.dll"}));
    EXPECT_EQ(RegisteredNames(), Names({"app.exe", "a.dll", "b.dll", "d.dll", "c.dll"}));
}

TEST_F(DllPageTest, ALibraryAlreadyAboveInTheChainStaysALeafAlsoUnderCopies) {
    // x.dll -> user.dll (copy) -> gdi.dll (copy, expanded later) -> user.dll: the copies
    // are not registered, yet the chain above the last node holds user.dll.
    Lib("app.exe", {"user.dll", "x.dll"});
    Lib("x.dll", {"user.dll"});
    Lib("user.dll", {"gdi.dll", "user.dll"});
    Lib("gdi.dll", {"user.dll", "app.exe"});
    ShowTree("app.exe");
    QTreeWidgetItem* user = ChildNamed(Root(), "user.dll");
    Expand(user);
    EXPECT_EQ(ChildNamed(user, "user.dll")->childCount(), 0); // imports itself
    QTreeWidgetItem* x = ChildNamed(Root(), "x.dll");
    Expand(x);
    QTreeWidgetItem* gdiCopy = ChildNamed(ChildNamed(x, "user.dll"), "gdi.dll");
    ASSERT_TRUE(Unexpanded(gdiCopy));
    Expand(gdiCopy);
    EXPECT_EQ(ChildTexts(gdiCopy), Names({"user.dll", "app.exe"}));
    EXPECT_EQ(ChildNamed(gdiCopy, "user.dll")->childCount(), 0);
    EXPECT_EQ(ChildNamed(gdiCopy, "app.exe")->childCount(), 0);
    EXPECT_EQ(Dumped(), Names({"app.exe", "user.dll", "x.dll", "gdi.dll"}));
}

TEST_F(DllPageTest, CtrlDeleteRemovesANodeAndItsRegisteredFilesButNeverTheRoot) {
    Lib("app.exe", {"a.dll", "b.dll"});
    Lib("a.dll", {"c.dll"});
    Lib("b.dll", {"a.dll"});
    Lib("c.dll", {});
    ShowTree("app.exe");
    QTreeWidgetItem* a = ChildNamed(Root(), "a.dll");
    Expand(a);
    ASSERT_EQ(RegisteredNames(), Names({"app.exe", "a.dll", "b.dll", "c.dll"}));

    page.dllTree->setCurrentItem(a);
    QTest::keyClick(page.dllTree, Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ChildTexts(Root()), Names({"a.dll", "b.dll"}));
    QTest::keyClick(page.dllTree, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ChildTexts(Root()), Names({"b.dll"}));
    EXPECT_EQ(RegisteredNames(), Names({"app.exe", "b.dll"}));

    // Met again, the deleted library is registered afresh.
    QTreeWidgetItem* b = ChildNamed(Root(), "b.dll");
    Expand(b);
    QTreeWidgetItem* again = ChildNamed(b, "a.dll");
    EXPECT_TRUE(Unexpanded(again));
    EXPECT_EQ(RegisteredNames(), Names({"app.exe", "b.dll", "a.dll"}));
    EXPECT_EQ(page.dllTree->DllNodes().Objects(2), again);

    page.dllTree->setCurrentItem(Root());
    QTest::keyClick(page.dllTree, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(page.dllTree->topLevelItemCount(), 1);
    EXPECT_EQ(ChildTexts(Root()), Names({"b.dll"}));
    EXPECT_EQ(RegisteredNames(), Names({"app.exe", "b.dll", "a.dll"}));
}

TEST_F(DllPageTest, FileBoxLeftWithEnterRebuildsOnAChangedFileNameOnly) {
    Lib("app.exe", {"a.dll"});
    Lib("other.exe", {"b.dll"});
    EnterMovesFocus selNext;
    selNext.Watch(page.exeEdit); // as the main window binds it
    ShowTree("app.exe");
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));

    // The same name in other letters keeps the tree.
    page.exeEdit->setText(Path("APP.EXE"));
    QTest::keyClick(page.exeEdit, Qt::Key_Return);
    Settle();
    EXPECT_EQ(page.ExeName(), Path("app.exe"));
    EXPECT_EQ(Dumped(), Names({"app.exe"}));

    page.exeEdit->setFocus();
    page.exeEdit->selectAll();
    QTest::keyClicks(page.exeEdit, Path("other.exe"));
    QTest::keyClick(page.exeEdit, Qt::Key_Return);
    Settle();
    EXPECT_TRUE(page.dllTree->hasFocus());
    EXPECT_EQ(page.ExeName(), Path("other.exe"));
    EXPECT_EQ(Root()->text(0).toStdString(), "other.exe");
    EXPECT_EQ(ChildTexts(Root()), Names({"b.dll"}));
    EXPECT_EQ(RegisteredNames(), Names({"other.exe"}));
    EXPECT_EQ(Dumped(), Names({"app.exe", "other.exe"}));

    // The same name again from the options file: nothing happens.
    page.SetExeName(Path("other.exe"));
    Settle();
    EXPECT_EQ(Dumped(), Names({"app.exe", "other.exe"}));
}

TEST_F(DllPageTest, TheBrowseDialogOffersExecutablesAndTakesThePickedFile) {
    Lib("app.exe", {"a.dll"});
    Lib("pick.dll", {"b.dll"});
    ShowTree("app.exe");
    prompts.ChosenFile = Path("pick.dll");
    page.exeEdit->BrowseAction()->trigger();
    Settle();
    EXPECT_EQ(prompts.DialogTitle, "Select file...");
    EXPECT_EQ(prompts.DialogDirectory, dir->path());
    EXPECT_EQ(
        Strings(prompts.DialogFilters),
        Names({"Executables... (*.exe *.EXE *.dll *.DLL *.bpl *.BPL)", "All files (*.*) (*)"}));
    EXPECT_EQ(page.exeEdit->text(), Path("pick.dll"));
    EXPECT_EQ(Root()->text(0).toStdString(), "pick.dll");
    EXPECT_EQ(ChildTexts(Root()), Names({"b.dll"}));
}

TEST_F(DllPageTest, ANameChangedWhileThePageIsHiddenIsBuiltOnTheNextActivation) {
    Lib("app.exe", {"a.dll"});
    Lib("other.exe", {"b.dll"});
    ShowTree("app.exe");
    page.hide();
    page.SetExeName(Path("other.exe"));
    Settle();
    EXPECT_EQ(page.dllTree->topLevelItemCount(), 0); // the old file's tree is not left on view
    EXPECT_EQ(page.dllTree->DllNodes().Count(), 0);
    EXPECT_EQ(Dumped(), Names({"app.exe"}));
    page.show(); // coming into view activates the page
    Settle();
    EXPECT_EQ(Root()->text(0).toStdString(), "other.exe");
    EXPECT_EQ(Dumped(), Names({"app.exe", "other.exe"}));
}

TEST_F(DllPageTest, AHangingToolIsStoppedAndTheNodeGetsNoChildren) {
    Lib("app.exe", {"a.dll"});
    const QString hanging = Path("hanging tool");
    WriteScript(hanging, "exec sleep 30\n");
    page.SetDumpTool(hanging);
    page.SetDumpTimeLimit(std::chrono::milliseconds(300));
    ShowTree("app.exe");
    EXPECT_EQ(Root()->childCount(), 0);
    EXPECT_EQ(Strings(log), Names({(hanging + " did not finish within 0.3 s for " +
                                    Path("app.exe") + " and was stopped")
                                       .toStdString()}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Guards against a dump that holds up the window: input is answered while the tool runs,
// and Escape stops it, leaving the node to be listed again.
TEST_F(DllPageTest, ThePageAnswersWhileASlowToolRunsAndEscapeStopsIt) {
    Lib("app.exe", {"a.dll"});
    const QString slow = Path("slow tool");
    WriteScript(slow, "exec sleep 30\n");
    page.SetDumpTool(slow);
    page.SetExeName(Path("app.exe"));
    page.show();
    page.Activate(); // starts the tool and returns
    ASSERT_TRUE(page.dllTree->DumpRunning());
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(page.statusLabel->text(),
              QStringLiteral("Listing the imports of app.exe... (Escape stops it)"));

    // Typing goes through the event loop and is answered while the tool still runs.
    page.exeEdit->setFocus();
    page.exeEdit->clear();
    QCoreApplication::postEvent(page.exeEdit, new QKeyEvent(QEvent::KeyPress, Qt::Key_X,
                                                            Qt::NoModifier, QStringLiteral("x")));
    QCoreApplication::processEvents();
    EXPECT_EQ(page.exeEdit->text(), QStringLiteral("x"));
    EXPECT_TRUE(page.dllTree->DumpRunning());

    QTest::keyClick(page.dllTree, Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(Unexpanded(Root()));
    EXPECT_FALSE(Root()->isExpanded());
    EXPECT_EQ(
        Strings(log),
        Names({("Listing the imports of " + Path("app.exe") + " was stopped").toStdString()}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(page.statusLabel->isVisibleTo(&page));
}

} // namespace
} // namespace ut::gui::testing
