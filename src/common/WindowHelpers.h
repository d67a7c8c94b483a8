#pragma once

#include <QString>

class QIcon;
class QWidget;

namespace tavanote {

// Places a window in the middle of the screen it is on.
void CentreWindow(QWidget* window);

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
