#pragma once

#include <QObject>
#include <functional>

namespace tavanote {

// Marks a user-interface handler under way. A box opened by a handler runs a nested event loop in which timer
// ticks would otherwise fire; work that must not run inside a handler asks whenIdle() instead.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

    static bool busy();
    // Runs work at once when no handler is under way, otherwise as soon as the last one has returned.
    // Nothing runs once context is gone.
    static void whenIdle(QObject* context, std::function<void()> work);
};

}  // namespace tavanote
