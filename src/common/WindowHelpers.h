#pragma once

#include <QMargins>
#include <QString>

class QIcon;
class QPoint;
class QWidget;

namespace tavanote {

// Places a window in the middle of the screen it is on, frame included.
void CentreWindow(QWidget* window);

// The frame the window manager puts around a window (zero without one). A window not yet on screen has its
// frame asked of the window manager beforehand, so that it can open in its place at once.
QMargins frameMargins(QWidget* window);

// Moves a window so that the top-left corner of its frame lies at topLeft.
void moveFrame(QWidget* window, const QPoint& topLeft);

// A caption shown exactly as written: "[*]" is otherwise taken for the modified-document mark.
QString literalCaption(const QString& text);

// Keeps a window above all others, or releases it, without moving or resizing it.
void SetTopMost(QWidget* window, bool onTop);

// The program's icon, a small yellow sticky note: resources/tavanote.svg, the installed icon too.
QIcon programIcon();

// A control named (its objectName) and given its tool tip, when it has one.
template <typename T>
T* named(T* widget, const QString& name, const QString& toolTip = QString()) {
    widget->setObjectName(name);
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

// Twips to pixels at 15 twips a pixel.
constexpr int twips(int value) {
    return (value + 7) / 15;
}

}  // namespace tavanote
