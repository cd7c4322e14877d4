#pragma once
// Shared pieces of the main-window tests: prompts that record instead of asking, a window
// over a settings file of its own, and readers of the styled log.
#include "QtPrinters.h"
#include "gui/LogView.h"
#include "gui/MainWindow.h"
#include "gui/Pager.h"
#include "gui/Prompts.h"
#include "gui/SetupPage.h"
#include "platform/FileSystem.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColor>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ut::gui::test {

inline QString Fixture(const char* relative) {
    return QString::fromUtf8(UNITRACE_FIXTURES) + QStringLiteral("/gui/") +
           QString::fromUtf8(relative);
}

class FakePrompts : public Prompts {
  public:
    void ErrorMessage(const QString& text) override { Errors << text; }
    void Warning(const QString& text) override { Warnings << text; }
    bool Confirm(const QString& text) override {
        Questions << text;
        return ConfirmAnswer;
    }
    QString OpenFileName(const QString& title, const QString& directory,
                         const QStringList& nameFilters) override {
        DialogTitle = title;
        DialogDirectory = directory;
        DialogFilters = nameFilters;
        return ChosenFile;
    }
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override {
        Inputs << QStringList{caption, prompt, value};
        if (!InputAnswer)
            return false;
        value = *InputAnswer;
        return true;
    }

    QStringList Errors, Warnings, Questions;
    bool ConfirmAnswer = false;
    QString DialogTitle, DialogDirectory, ChosenFile;
    QStringList DialogFilters;
    /// Each input box asked: caption, prompt, initial text.
    QList<QStringList> Inputs;
    /// The text entered and confirmed with OK; none: Cancel.
    std::optional<QString> InputAnswer;
};

/// Writes `bytes` to the file `path`, made executable on request; returns `path`.
inline QString WriteFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    if (executable)
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
/// The contents of the file `path` (empty when it cannot be read).
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A double-click on the item as a real one arrives: press, release, then the double-click.
inline void DoubleClick(QAbstractItemView* view, const QModelIndex& index) {
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

/// A click in the middle of a header section.
inline void ClickSection(QHeaderView* header, int section) {
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

/// What the user sees of a fixed-pitch font: "i" as wide as "W".
inline bool DrawsFixedPitch(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(QLatin1Char('i')) ==
           metrics.horizontalAdvance(QLatin1Char('W'));
}

/// One line of the log as shown (indented) with the font and colour it is drawn in.
struct LogLine {
    QString Text;
    bool Bold = false;
    bool Italic = false;
    QColor Color;
    bool operator==(const LogLine&) const = default;
};
inline void PrintTo(const LogLine& l, std::ostream* os) {
    *os << '"' << l.Text.toStdString() << '"' << (l.Bold ? " bold" : "")
        << (l.Italic ? " italic" : "") << ' ' << l.Color.name().toStdString();
}

inline std::vector<LogLine> ReadLog(const LogView& log) {
    std::vector<LogLine> lines;
    for (int row = 0; row < log.LineCount(); ++row) {
        const ut::LogStyle style = log.LineAt(row).Style;
        const QFont font = log.FontOf(style);
        lines.push_back({log.ShownText(row), font.bold(), font.italic(), log.ColorOf(style)});
    }
    return lines;
}
inline QStringList LogTexts(const LogView& log) {
    QStringList out;
    for (int row = 0; row < log.LineCount(); ++row)
        out << log.ShownText(row);
    return out;
}

/// A settings file in a directory of its own, removed with the object.
class TempSettings {
  public:
    QSettings& Settings() { return FSettings; }
    QString FileName() const { return FSettings.fileName(); }
    /// A fresh QSettings on the same file (what a later run of the program reads).
    std::unique_ptr<QSettings> Reopen() {
        FSettings.sync();
        return std::make_unique<QSettings>(FSettings.fileName(), QSettings::IniFormat);
    }

  private:
    QTemporaryDir FDir;
    QSettings FSettings{FDir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
};

/// A main window over settings of its own, with recording prompts; the working directory
/// that a scan changes is put back afterwards.
class WindowTest : public ::testing::Test {
  protected:
    void TearDown() override {
        Window.reset();
        ut::fs::SetCurrentDir(FSavedDir);
    }
    /// A window over `settings` (not shown: a window never shown restores and saves nothing).
    std::unique_ptr<MainWindow> Make(QSettings& settings, const QStringList& arguments = {},
                                     const ut::RegistryStore* registry = nullptr) {
        MainWindow::Options options;
        options.Arguments = arguments;
        options.prompts = &Prompts;
        options.Registry = registry;
        return std::make_unique<MainWindow>(settings, options);
    }
    /// Window: made over Settings and shown.
    void Open(const QStringList& arguments = {}, const ut::RegistryStore* registry = nullptr) {
        Window = Make(Settings.Settings(), arguments, registry);
        Window->show();
    }
    SetupPage& Page() { return Window->Setup(); }
    /// Turns to a page as the program does.
    void ShowPage(int page) {
        Window->PagerControl().setCurrentIndex(page);
        QCoreApplication::processEvents();
    }
    QStringList Log() { return LogTexts(*Window->Setup().logView); }

    TempSettings Settings;
    FakePrompts Prompts;
    std::unique_ptr<MainWindow> Window;

  private:
    std::string FSavedDir = ut::fs::GetCurrentDir();
};

/// Answers the next modal dialog of class D with `act` once it is up.
template <class D> void WhenModal(std::function<void(D&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, tries] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog && ++*tries < 300)
            return;
        timer->stop();
        timer->deleteLater();
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog came up";
            return;
        }
        act(*dialog);
    });
    timer->start();
}

} // namespace ut::gui::test
