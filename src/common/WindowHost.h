#pragma once

namespace tavanote {

// What every secondary window asks of the window that opened it: F2 shows the about window.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void showAbout() = 0;
};

}  // namespace tavanote
