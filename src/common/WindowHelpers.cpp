#include "WindowHelpers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tavanote {

void CentreWindow(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
}

void SetTopMost(QWidget* window, bool onTop) {
    const bool visible = window->isVisible();
    const QPoint position = window->pos();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing a flag hides a shown window: bring it back where it was.
    if (visible) {
        window->move(position);
        window->show();
    }
}

}  // namespace tavanote
