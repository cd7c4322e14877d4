#include "gui/Pager.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <QWheelEvent>

namespace ut::gui {

namespace {

/// The tabs of the pager: records the tab under a press and asks before changing.
class PagerTabBar : public QTabBar {
  public:
    explicit PagerTabBar(Pager* pager) : QTabBar(pager), FPager(pager) {}

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        const int tab = tabAt(event->position().toPoint());
        emit FPager->MousePressed(tab);
        if (event->button() == Qt::LeftButton && tab >= 0 && tab != currentIndex() &&
            !FPager->ChangeAllowed()) {
            event->accept();
            return;
        }
        QTabBar::mousePressEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        const bool moves = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up ||
                           key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End;
        if (moves && !FPager->ChangeAllowed()) {
            event->accept();
            return;
        }
        QTabBar::keyPressEvent(event);
    }

#if QT_CONFIG(wheelevent)
    void wheelEvent(QWheelEvent* event) override {
        if (!FPager->ChangeAllowed()) {
            event->accept();
            return;
        }
        QTabBar::wheelEvent(event);
    }
#endif

  private:
    Pager* FPager;
};

bool IsPageKey(const QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    return ctrl && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab ||
                    event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown);
}

} // namespace

Pager::Pager(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("pager"));
    setTabBar(new PagerTabBar(this));
}

void Pager::keyPressEvent(QKeyEvent* event) {
    if (IsPageKey(event) && !ChangeAllowed()) {
        event->accept();
        return;
    }
    QTabWidget::keyPressEvent(event);
}

void Pager::mousePressEvent(QMouseEvent* event) {
    emit MousePressed(-1);
    QTabWidget::mousePressEvent(event);
}

} // namespace ut::gui
