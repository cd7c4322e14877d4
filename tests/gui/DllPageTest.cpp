// The "DLL usage" page through its widgets, with a stand-in dump tool that records every
// file it is asked about and prints the file's own text (so each test file holds its
// "Imports from" lines).
#include "gui/DllPage.h"
#include "GuiTestSupport.h"
#include "gui/DllTree.h"
#include "gui/FileNameEdit.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>

namespace ut::gui::testing {
namespace {

using test::ReadFile;
using test::WriteFile;

/// A subtree as text: each node's name, its children in parentheses, "?" for a placeholder.
QString Shape(const QTreeWidgetItem* node) {
    if (DllTree::IsPlaceholder(node))
        return QStringLiteral("?");
    QStringList children;
    for (int i = 0; i < node->childCount(); ++i)
        children << Shape(node->child(i));
    return node->text(0) + (children.isEmpty() ? QString() : "(" + children.join(' ') + ")");
}

QTreeWidgetItem* ChildNamed(QTreeWidgetItem* node, const QString& text) {
    for (int i = 0; node && i < node->childCount(); ++i)
        if (node->child(i)->text(0) == text)
            return node->child(i);
    ADD_FAILURE() << "no child " << text.toStdString();
    return nullptr;
}

class DllPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Blanks in every path: the directory, the tool and the inspected files.
        ASSERT_TRUE(dir.isValid());
        WriteFile(Path("fake tdump"),
                  "#!/bin/sh\nprintf '%s\\n' \"$2\" >> \"$(dirname \"$0\")/calls.log\"\n"
                  "exec cat -- \"$2\"\n",
                  true);
        page.SetDumpTool(Path("fake tdump"));
        page.SetLogSink([this](const QString& text) { log << text; });
        page.SetPrompts(&prompts);
        page.resize(400, 300);
    }

    QString Path(const QString& name) const { return dir.filePath(name); }
    /// Libraries or executables, each name followed by what it "imports" ("a.dll: b.dll c.dll").
    void Libs(const QStringList& lines) const {
        for (const QString& line : lines) {
            QByteArray text;
            for (const QString& import : line.section(':', 1).split(' ', Qt::SkipEmptyParts))
                text += "Imports from " + import.toUtf8() + "\n";
            WriteFile(Path(line.section(':', 0, 0)), text);
        }
    }
    /// The files dumped so far, by name without directory.
    QStringList Dumped() const {
        QStringList names;
        for (const QString& line :
             QString::fromUtf8(ReadFile(Path("calls.log"))).split('\n', Qt::SkipEmptyParts))
            names << QFileInfo(line).fileName();
        return names;
    }
    /// The files registered with their nodes (each node's path checked), by name.
    QStringList Registered() const {
        QStringList names;
        const auto& nodes = page.dllTree->DllNodes();
        for (int i = 0; i < nodes.Count(); ++i) {
            EXPECT_EQ(DllTree::NodePath(nodes.Objects(i)), nodes[i]);
            names << QFileInfo(QString::fromStdString(nodes[i])).fileName();
        }
        return names;
    }
    QTreeWidgetItem* Root() const { return page.dllTree->Root(); }
    /// Lets the dumps started so far deliver their results.
    void Settle() { page.dllTree->WaitForDumps(); }
    QString Tree() const { return Root() ? Shape(Root()) : QString(); }
    /// Expands the node at `path` below the root as the user does: select it and press "+".
    QTreeWidgetItem* Expand(const QStringList& path) {
        QTreeWidgetItem* node = Root();
        for (const QString& name : path)
            node = ChildNamed(node, name);
        if (!node)
            return nullptr;
        page.dllTree->setCurrentItem(node);
        QTest::keyClick(page.dllTree, Qt::Key_Plus);
        Settle();
        EXPECT_TRUE(node->isExpanded());
        return node;
    }
    void ShowTree(const QString& exe) {
        page.SetExeName(Path(exe));
        Settle();
        page.show();
        Settle();
        page.Activate();
        Settle();
        ASSERT_NE(Root(), nullptr);
    }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/dll page XXXXXX")};
    QStringList log;
    test::FakePrompts prompts;
    DllPage page;
};

TEST_F(DllPageTest, ActivationBuildsTheRootAndItsFirstLevelWithOneDumpAMissingFileNothing) {
    // Two import sections from one library, in different letter cases, give one node.
    Libs({"app.exe: a.dll B.DLL missing.dll A.DLL", "a.dll: c.dll", "b.dll:"});
    page.SetExeName(Path("app.exe")); // from the options file, page not on view
    Settle();
    EXPECT_EQ(page.exeEdit->text(), Path("app.exe"));
    EXPECT_EQ(Tree(), QString());
    page.show(); // activates the page
    Settle();
    EXPECT_TRUE(Root()->isExpanded());
    EXPECT_EQ(Tree(), "app.exe(a.dll(?) B.DLL(?) missing.dll)"); // B.DLL found as b.dll
    EXPECT_EQ(Registered(), QStringList({"app.exe", "a.dll", "b.dll"}));
    // Only successful searches are remembered.
    EXPECT_EQ(page.dllTree->DllPaths()->ToVector(), std::vector<std::string>({"a.dll", "B.DLL"}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); // the wait cursor is gone again
    page.Activate(); // nodes present: nothing is built or dumped again
    Settle();
    EXPECT_EQ(Dumped(), QStringList({"app.exe"}));

    page.hide(); // a missing file: nothing built or dumped
    page.SetExeName(Path("nowhere.exe"));
    Settle();
    page.show();
    Settle();
    EXPECT_EQ(Tree(), QString());
    EXPECT_EQ(Dumped(), QStringList({"app.exe"}));
    // Named while on view: the root shows the name; the stand-in's cat fails on the file.
    page.SetExeName(Path("still missing.exe"));
    Settle();
    EXPECT_EQ(Tree(), "still missing.exe");
    EXPECT_EQ(Dumped(), QStringList({"app.exe", "still missing.exe"}));
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(DllPageTest, EachNodeIsDumpedOnceAndALibraryMetAgainCopiesTheFirstNodesChildren) {
    Libs({"app.exe: a.dll b.dll d.dll", "a.dll: b.dll", "d.dll: b.dll", "b.dll: c.dll", "c.dll:"});
    ShowTree("app.exe");
    // Copied before the first b.dll was expanded: only its placeholder; expanding the copy
    // lists its imports, and the copy is never registered.
    Expand({"d.dll"});
    Expand({"d.dll", "b.dll"});
    EXPECT_EQ(Tree(), "app.exe(a.dll(?) b.dll(?) d.dll(b.dll(c.dll(?))))");
    // Copied after: b.dll's children, c.dll not expanded yet, with its path.
    Expand({"b.dll"});
    Expand({"a.dll"});
    EXPECT_EQ(Tree(), "app.exe(a.dll(b.dll(c.dll(?))) b.dll(c.dll(?)) d.dll(b.dll(c.dll(?))))");
    EXPECT_EQ(ChildNamed(ChildNamed(ChildNamed(Root(), "a.dll"), "b.dll"), "c.dll")->toolTip(0),
              Path("c.dll"));
    Expand({"a.dll", "b.dll", "c.dll"}); // imports nothing: the placeholder goes
    Expand({"a.dll", "b.dll"})->setExpanded(false);
    Expand({"a.dll", "b.dll"});
    EXPECT_EQ(Tree(), "app.exe(a.dll(b.dll(c.dll)) b.dll(c.dll(?)) d.dll(b.dll(c.dll(?))))");
    // Every node is dumped when it is first expanded, copies included, and only then.
    EXPECT_EQ(Dumped(), QStringList({"app.exe", "d.dll", "b.dll", "b.dll", "a.dll", "c.dll"}));
    EXPECT_EQ(Registered(), QStringList({"app.exe", "a.dll", "b.dll", "d.dll", "c.dll"}));
}

TEST_F(DllPageTest, ALibraryAlreadyAboveInTheChainStaysALeafAlsoUnderCopies) {
    // x.dll -> user.dll (copy) -> gdi.dll (copy, expanded later) -> user.dll: the copies
    // are not registered, yet the chain above the last node holds user.dll.
    Libs({"app.exe: user.dll x.dll", "x.dll: user.dll", "user.dll: gdi.dll user.dll",
          "gdi.dll: user.dll app.exe"});
    ShowTree("app.exe");
    Expand({"user.dll"});
    Expand({"x.dll"});
    Expand({"x.dll", "user.dll", "gdi.dll"});
    EXPECT_EQ(Tree(), "app.exe(user.dll(gdi.dll(?) user.dll) x.dll(user.dll(gdi.dll(user.dll "
                      "app.exe) user.dll)))");
    EXPECT_EQ(Dumped(), QStringList({"app.exe", "user.dll", "x.dll", "gdi.dll"}));
}

TEST_F(DllPageTest, CtrlDeleteRemovesANodeAndItsRegisteredFilesButNeverTheRoot) {
    Libs({"app.exe: a.dll b.dll", "a.dll: c.dll", "b.dll: a.dll", "c.dll:"});
    ShowTree("app.exe");
    QTreeWidgetItem* a = Expand({"a.dll"});
    ASSERT_EQ(Registered(), QStringList({"app.exe", "a.dll", "b.dll", "c.dll"}));
    page.dllTree->setCurrentItem(a);
    QTest::keyClick(page.dllTree, Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Tree(), "app.exe(a.dll(c.dll(?)) b.dll(?))");
    QTest::keyClick(page.dllTree, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Tree(), "app.exe(b.dll(?))");
    EXPECT_EQ(Registered(), QStringList({"app.exe", "b.dll"}));
    // Met again, the deleted library is registered afresh.
    QTreeWidgetItem* again = ChildNamed(Expand({"b.dll"}), "a.dll");
    EXPECT_EQ(Registered(), QStringList({"app.exe", "b.dll", "a.dll"}));
    EXPECT_EQ(page.dllTree->DllNodes().Objects(2), again);
    page.dllTree->setCurrentItem(Root());
    QTest::keyClick(page.dllTree, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Tree(), "app.exe(b.dll(a.dll(?)))");
    EXPECT_EQ(Registered(), QStringList({"app.exe", "b.dll", "a.dll"}));
}

TEST_F(DllPageTest, ATreeIsRebuiltOnAChangedFileNameOnlyAndWhenInView) {
    Libs({"app.exe: a.dll", "other.exe: b.dll"});
    ShowTree("app.exe");
    page.exeEdit->setText(Path("APP.EXE")); // the same name in other letters keeps the tree
    QTest::keyClick(page.exeEdit, Qt::Key_Return);
    Settle();
    EXPECT_EQ(page.ExeName(), Path("app.exe"));
    EXPECT_EQ(Dumped(), QStringList({"app.exe"}));

    page.exeEdit->setText(Path("other.exe"));
    QTest::keyClick(page.exeEdit, Qt::Key_Return);
    Settle();
    EXPECT_EQ(Tree(), "other.exe(b.dll)");
    EXPECT_EQ(Registered(), QStringList({"other.exe"}));
    // The same name again from the options file: nothing happens. Another one while the
    // page is hidden: the old tree goes at once, the new one comes with the next activation.
    page.SetExeName(Path("other.exe"));
    Settle();
    EXPECT_EQ(Dumped(), QStringList({"app.exe", "other.exe"}));
    page.hide();
    page.SetExeName(Path("app.exe"));
    Settle();
    EXPECT_EQ(Tree(), QString());
    EXPECT_EQ(page.dllTree->DllNodes().Count(), 0);
    page.show();
    Settle();
    EXPECT_EQ(Tree(), "app.exe(a.dll)");
    EXPECT_EQ(Dumped(), QStringList({"app.exe", "other.exe", "app.exe"}));
}

// The hanging tool's message is the dump runner's; here that it reaches the log.
TEST_F(DllPageTest, BrowseOffersExecutablesAndAHangingToolIsStopped) {
    Libs({"app.exe: a.dll", "pick.dll: b.dll"});
    ShowTree("app.exe");
    WriteFile(Path("hanging tool"), "#!/bin/sh\nexec sleep 30\n", true);
    page.SetDumpTool(Path("hanging tool"));
    page.SetDumpTimeLimit(std::chrono::milliseconds(300));
    prompts.ChosenFile = Path("pick.dll");
    page.exeEdit->BrowseAction()->trigger();
    Settle();
    EXPECT_EQ(prompts.DialogTitle, "Select file...");
    EXPECT_EQ(prompts.DialogDirectory, dir.path());
    EXPECT_EQ(prompts.DialogFilters,
              QStringList(
                  {"Executables... (*.exe *.EXE *.dll *.DLL *.bpl *.BPL)", "All files (*.*) (*)"}));
    EXPECT_EQ(Tree(), "pick.dll");
    EXPECT_EQ(log, QStringList({Path("hanging tool") + " did not finish within 0.3 s for " +
                                Path("pick.dll") + " and was stopped"}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Guards against a dump that holds up the window: input is answered while the tool runs,
// and Escape stops it, leaving the node to be listed again.
TEST_F(DllPageTest, ThePageAnswersWhileASlowToolRunsAndEscapeStopsIt) {
    Libs({"app.exe: a.dll"});
    WriteFile(Path("slow tool"), "#!/bin/sh\nexec sleep 30\n", true);
    page.SetDumpTool(Path("slow tool"));
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
    EXPECT_EQ(Root()->childCount(), 1);
    EXPECT_TRUE(DllTree::IsPlaceholder(Root()->child(0)));
    EXPECT_FALSE(Root()->isExpanded());
    EXPECT_EQ(log, QStringList({"Listing the imports of " + Path("app.exe") + " was stopped"}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(page.statusLabel->isVisibleTo(&page));
}

} // namespace
} // namespace ut::gui::testing
