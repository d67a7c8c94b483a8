#pragma once

#include <QString>

class QWidget;

namespace tavanote {

// The two keys every window shares with the main window: F1 opens a window's help page, F2 the about window.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void showHelp(QWidget* window, const QString& topic, int context) = 0;
    virtual void showAbout() = 0;
};

}  // namespace tavanote
