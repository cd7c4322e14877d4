#pragma once
// The main window's page control. Every page change the user asks for (a click on a tab,
// the keyboard, the wheel over the tabs) is put to `Changing` first, which may refuse it;
// changes made by the program itself are not asked about.
#include <QTabWidget>

#include <functional>

namespace ut::gui {

class Pager : public QTabWidget {
    Q_OBJECT
  public:
    explicit Pager(QWidget* parent = nullptr);

    /// Asked with the index of the current page before a user's page change; false refuses.
    std::function<bool(int from)> Changing;

    /// Whether a user's change away from the current page may happen now.
    bool ChangeAllowed() const { return !Changing || Changing(currentIndex()); }

  signals:
    /// A mouse button went down on the page control: the tab under it, or -1.
    void MousePressed(int tabIndex);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace ut::gui
