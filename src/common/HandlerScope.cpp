#include "HandlerScope.h"

#include <QPointer>
#include <QTimer>
#include <vector>

namespace tavanote {

namespace {

int g_depth = 0;
std::vector<std::pair<QPointer<QObject>, std::function<void()>>>& waiting() {
    static std::vector<std::pair<QPointer<QObject>, std::function<void()>>> queue;
    return queue;
}

}  // namespace

HandlerScope::HandlerScope() {
    ++g_depth;
}

HandlerScope::~HandlerScope() {
    if (--g_depth > 0 || waiting().empty())
        return;
    // Run after the handler has fully returned, not from inside its last lines.
    auto queue = std::move(waiting());
    waiting().clear();
    for (auto& [context, work] : queue) {
        if (context)
            QTimer::singleShot(0, context.data(), std::move(work));
    }
}

bool HandlerScope::busy() {
    return g_depth > 0;
}

void HandlerScope::whenIdle(QObject* context, std::function<void()> work) {
    if (!busy()) {
        work();
        return;
    }
    waiting().emplace_back(context, std::move(work));
}

}  // namespace tavanote
