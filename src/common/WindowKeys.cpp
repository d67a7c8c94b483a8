#include "WindowKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tavanote {

WindowKeys::WindowKeys(QWidget* window, std::function<bool(QKeyEvent*)> handler)
    : QObject(window), m_window(window), m_handler(std::move(handler)) {
    watchChildren();
}

void WindowKeys::watchChildren() {
    // Installed last, this filter runs before any other a control already has.
    m_window->removeEventFilter(this);
    m_window->installEventFilter(this);
    for (QWidget* child : m_window->findChildren<QWidget*>()) {
        if (child->isWindow())
            continue;  // another window (a picker) handles its own keys
        child->removeEventFilter(this);
        child->installEventFilter(this);
    }
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Keep the controls' own shortcuts (a list's Ctrl+A, a field's Ctrl+E) from taking the window's keys.
        return false;
    }
    // The key reaches the widget that has the focus first, then its parents: handle it once, at the first.
    if (watched != QApplication::focusWidget() && watched != m_window && QApplication::focusWidget() &&
        QApplication::focusWidget()->window() == m_window)
        return false;
    return m_handler(key);
}

void callHook(const std::function<void()>& hook) {
    if (hook)
        hook();
}

bool secondaryWindowKey(const QKeyEvent* key, QWidget* window, const std::function<void()>& help,
                        const std::function<void()>& about) {
    switch (key->key()) {
        case Qt::Key_F1:
            callHook(help);
            return true;
        case Qt::Key_F2:
            callHook(about);
            return true;
        case Qt::Key_Escape:
            window->close();
            return true;
        default:
            return false;
    }
}

}  // namespace tavanote
