#pragma once
// Shared pieces of the main-window tests: prompts that record instead of asking, a window
// over a settings file of its own, and readers of the styled log.
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "QtPrinters.h"

#include <QColor>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextEdit>

#include <memory>
#include <optional>
#include <ostream>
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

/// One line of the log with the look of its first character.
struct LogLine {
    QString Text;
    bool Bold = false;
    bool Italic = false;
    QColor Color;
};

/// The log's lines, without the empty line after the last line break.
std::vector<LogLine> ReadLog(const QTextEdit& log);
QStringList LogTexts(const QTextEdit& log);

/// A settings file in a directory of its own, removed with the object.
class TempSettings {
  public:
    TempSettings();
    QSettings& Settings() { return *FSettings; }
    QString FileName() const { return FSettings->fileName(); }
    /// A fresh QSettings on the same file (what a later run of the program reads).
    std::unique_ptr<QSettings> Reopen() const;

  private:
    QTemporaryDir FDir;
    std::unique_ptr<QSettings> FSettings;
};

} // namespace ut::gui::test
