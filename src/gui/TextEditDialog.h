#pragma once
// A plain-text editor window with OK and Cancel. The caller fills it, runs it
// modally and reads the lines back; the window keeps nothing itself.
#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace ut {
class TStringsComp;
}

namespace ut::gui {

class TextEditDialog : public QDialog {
    Q_OBJECT
  public:
    /// Centred on `owner`; caption "Edit..." until the caller sets its own.
    explicit TextEditDialog(QWidget* owner);

    /// Replaces the editor's text by `lines`, one a line.
    void SetLines(const QStringList& lines);
    /// The editor's lines as typed: nothing trimmed, an empty line is an empty entry, and a
    /// line break at the very end starts no further line.
    QStringList GetLines() const;
    /// Runs the window modally; true exactly when it was closed with OK.
    bool Execute();

    QPlainTextEdit* editor;
    QWidget* buttonPanel;
    QPushButton* okButton;
    QPushButton* cancelButton;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

/// "&Ignore units": edits the ignored-unit names in a TextEditDialog owned by `owner`. OK
/// assigns the lines to `ignored` (whose sorted, duplicate-free list orders them and keeps
/// the first of names equal but for case); Cancel and Esc leave it as it was.
bool EditIgnoredUnits(QWidget* owner, ut::TStringsComp& ignored);

} // namespace ut::gui
