#pragma once
// A file-name input: a line edit with a browse button at its end, accepting a file dropped
// onto it (the dropped file's path replaces the text).
#include <QLineEdit>

class QAction;

namespace ut::gui {

class FileNameEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit FileNameEdit(QWidget* parent = nullptr);

    QAction* BrowseAction() const { return FBrowse; }

  signals:
    /// The browse button was pressed.
    void BrowseRequested();

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QAction* FBrowse;
};

} // namespace ut::gui
