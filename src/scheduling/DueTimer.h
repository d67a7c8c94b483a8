#pragma once

#include <QDateTime>
#include <QObject>
#include <functional>
#include <memory>

#include "common/Services.h"

class QTimer;

namespace tavanote {

// The start of the wall-clock minute after the one now is in.
QDateTime startOfNextMinute(const QDateTime& now);

// Runs the due check now, then at the start of every minute of the wall clock, and at once when the computer
// wakes or the clock is set: a message due at hh:mm opens as hh:mm:00 comes, and the idle program wakes once a
// minute. Without a wall alarm, a precise timer (Timer2) is armed for the next minute; it follows the computer's
// awake time, so after a sleep it rings up to a minute late.
class DueTimer : public QObject {
    Q_OBJECT
public:
    DueTimer(Clock& clock, std::unique_ptr<WallAlarm> alarm, std::function<void()> check, QObject* parent);
    ~DueTimer() override;

    void start();
    void stop();
    bool isActive() const { return m_active; }
    // One check, then armed again for the minute after the clock's now.
    void ring();
    // The instant the next check is armed for; invalid while stopped.
    QDateTime armedFor() const { return m_armedFor; }

private:
    void arm();

    Clock& m_clock;
    std::unique_ptr<WallAlarm> m_alarm;
    QTimer* Timer2 = nullptr;
    std::function<void()> m_check;
    bool m_active = false;
    QDateTime m_armedFor;
};

}  // namespace tavanote
