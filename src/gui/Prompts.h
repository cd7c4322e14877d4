#pragma once
// The questions and notices the window puts to the user, behind an interface so that tests
// can answer them. The boxes are titled with the application's title; their buttons are
// the toolkit's standard ones.
#include <QString>
#include <QStringList>

class QWidget;

namespace ut::gui {

class Prompts {
  public:
    virtual ~Prompts() = default;
    /// An error box with an OK button.
    virtual void ErrorMessage(const QString& text) = 0;
    /// A warning box with an OK button.
    virtual void Warning(const QString& text) = 0;
    /// A confirmation box with Yes and No; true for Yes.
    virtual bool Confirm(const QString& text) = 0;
    /// An open-file dialog that accepts only existing files; empty when cancelled.
    /// `nameFilters` are in the toolkit's form ("Text (*.txt)").
    virtual QString OpenFileName(const QString& title, const QString& directory,
                                 const QStringList& nameFilters) = 0;
    /// A save-file dialog that starts at `fileName` and asks before replacing a file; empty
    /// when cancelled. Prompts that cannot ask choose no file.
    virtual QString SaveFileName(const QString& title, const QString& fileName,
                                 const QStringList& nameFilters) {
        (void)title, (void)fileName, (void)nameFilters;
        return QString();
    }
    /// The input box: `caption`, `prompt` and an edit that starts with `value`, with OK and
    /// Cancel; true for OK, with the text in `value`. Prompts that cannot ask answer Cancel.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) {
        (void)caption, (void)prompt, (void)value;
        return false;
    }
};

/// The real boxes and dialogs, parented to `parent`.
class MessageBoxPrompts : public Prompts {
  public:
    explicit MessageBoxPrompts(QWidget* parent) : FParent(parent) {}
    void ErrorMessage(const QString& text) override;
    void Warning(const QString& text) override;
    bool Confirm(const QString& text) override;
    QString OpenFileName(const QString& title, const QString& directory,
                         const QStringList& nameFilters) override;
    QString SaveFileName(const QString& title, const QString& fileName,
                         const QStringList& nameFilters) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;

  private:
    QWidget* FParent;
};

/// No boxes: notices go to the standard error stream, questions are answered No and no
/// file is chosen. For runs without a user (taking screenshots).
class ConsolePrompts : public Prompts {
  public:
    void ErrorMessage(const QString& text) override;
    void Warning(const QString& text) override;
    bool Confirm(const QString& text) override;
    QString OpenFileName(const QString& title, const QString& directory,
                         const QStringList& nameFilters) override;
};

/// The application's title as the scan sets it ("Uni-Trace" before any).
QString ApplicationTitle();

/// Turns a filter of the form "Text|*.a;*.b|All files (*.*)|*.*" into the toolkit's name
/// filters. The description is kept as written; the patterns follow it in parentheses
/// (the dialogs are told to hide them), with "*.*" meaning every file.
QStringList NameFiltersFromPairs(const QString& filter);

} // namespace ut::gui
