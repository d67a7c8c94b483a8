#include "WindowKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "common/WindowHost.h"

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

WindowKeys* installWindowKeys(QWidget* window, KeyRoles roles) {
    return new WindowKeys(window, [window, roles = std::move(roles)](QKeyEvent* key) {
        if (roles.own && roles.own(key))
            return true;
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        switch (key->key()) {
            case Qt::Key_F1:
                if (roles.help)
                    roles.help->show(window, roles.context);
                return roles.help != nullptr;
            case Qt::Key_F2:
                if (roles.host)
                    roles.host->showAbout();
                return roles.host != nullptr;
            case Qt::Key_Escape:
                window->close();
                return true;
            default:
                return false;
        }
    });
}

}  // namespace tavanote
