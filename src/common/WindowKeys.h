#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

namespace tavanote {

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

// Runs a hook given by whoever opened the window (help, about); nothing happens without one.
void callHook(const std::function<void()>& hook);

// The keys every secondary window shares: F1 its help, F2 the about window, Esc closes it. True when the key was
// one of them.
bool secondaryWindowKey(const QKeyEvent* key, QWidget* window, const std::function<void()>& help,
                        const std::function<void()>& about);

}  // namespace tavanote
