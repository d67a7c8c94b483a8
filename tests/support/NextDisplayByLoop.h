#pragma once

#include <QDateTime>
#include <optional>

#include "scheduling/Schedule.h"

namespace tavanote {

// nextDisplay() stepped one period at a time: the reference the fast rule is checked against.
inline std::optional<QDateTime> nextDisplayByLoop(qint64 code, const QDateTime& base,
                                                  const std::optional<QDateTime>& end, const QDateTime& now) {
    if (!hasStep(code))
        return std::nullopt;
    QDateTime candidate = base;
    for (;;) {
        candidate = addStep(code, candidate);
        if (end && *end < candidate)
            return std::nullopt;
        if (candidate > now)
            return candidate;
    }
}

}  // namespace tavanote
