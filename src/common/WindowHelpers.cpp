#include "WindowHelpers.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>

// The resources are compiled into a static library: nothing else would pull them into the program.
static void initProgramResources() {
    Q_INIT_RESOURCE(tavanote);
}

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
    initProgramResources();
    return QIcon(QStringLiteral(":/icons/tavanote.svg"));
}

}  // namespace tavanote
