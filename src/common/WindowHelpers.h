#pragma once

#include <QHash>
#include <QMargins>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

class QIcon;
class QPoint;
class QWidget;

namespace tavanote {

// Places a window in the middle of the screen it is on, frame included.
void CentreWindow(QWidget* window);

// The frame the window manager puts around a window (zero without one). A window not yet on screen has its
// frame asked of the window manager beforehand, so that it can open in its place at once.
QMargins frameMargins(QWidget* window);

// The frames the window manager draws around each kind of the program's windows (by objectName): the frame of one
// kind does not change between its windows, so it is asked of the window manager once, then taken from the windows
// it framed.
class FrameCache {
public:
    using Ask = std::function<std::optional<QMargins>()>;
    // The frame of a kind: the one last seen, or the answer of ask, called once per kind (an unanswered kind is not
    // asked again: its windows are placed when framed).
    std::optional<QMargins> frame(const QString& kind, const Ask& ask);
    void seen(const QString& kind, const QMargins& frame) { m_known.insert(kind, frame); }

private:
    QHash<QString, QMargins> m_known;
    QSet<QString> m_asked;
};

// Calls place again once the window manager has framed the window, when its frame is not the one it was placed
// with: a window placed before the frame was known (a busy window manager) moves to its place, without waiting.
void placeAgainWhenFramed(QWidget* window, const QMargins& placedWith, std::function<void()> place);

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
