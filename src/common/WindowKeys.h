#pragma once

#include <QObject>
#include <functional>

#include "common/HelpContext.h"

class QKeyEvent;
class QWidget;

namespace tavanote {

class WindowHost;

// Lets a window see every key before its controls: handler receives each key pressed in the window or any of
// its controls, and a key it returns true for goes no further.
class WindowKeys : public QObject {
    Q_OBJECT
public:
    WindowKeys(QWidget* window, std::function<bool(QKeyEvent*)> handler);
    // Watches the controls added since.
    void watchChildren();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::function<bool(QKeyEvent*)> m_handler;
};

// The keys every window shares, seen before its controls: the window's own keys first (own, when given), then
// F1 its page of help (when it has one), F2 the about window (when it has a host) and Esc, which closes it.
struct KeyRoles {
    Help* help = nullptr;
    HelpContext context = HelpContext::General;
    WindowHost* host = nullptr;
    std::function<bool(QKeyEvent*)> own;
};
WindowKeys* installWindowKeys(QWidget* window, KeyRoles roles);

}  // namespace tavanote
