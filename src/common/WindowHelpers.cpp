#include "WindowHelpers.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
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

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 22, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal fold = size / 4.0;
        const QPolygonF note({QPointF(1, 1), QPointF(size - 1, 1), QPointF(size - 1, size - 1 - fold),
                              QPointF(size - 1 - fold, size - 1), QPointF(1, size - 1)});
        painter.setPen(QPen(QColor(128, 112, 0), 1));
        painter.setBrush(QColor(255, 255, 192));
        painter.drawPolygon(note);
        painter.setBrush(QColor(224, 208, 96));
        painter.drawPolygon(QPolygonF({QPointF(size - 1, size - 1 - fold), QPointF(size - 1 - fold, size - 1 - fold),
                                       QPointF(size - 1 - fold, size - 1)}));
        painter.setPen(QPen(QColor(160, 144, 64), size / 16.0 + 0.5));
        for (int line = 1; line <= 3; ++line)
            painter.drawLine(QPointF(size * 0.2, size * 0.22 * line), QPointF(size * 0.75, size * 0.22 * line));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace tavanote
