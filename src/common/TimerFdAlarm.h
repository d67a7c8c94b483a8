#pragma once

#include <QObject>
#include <memory>

#include "common/Services.h"

class QSocketNotifier;

namespace tavanote {

// A wall alarm on Linux: an absolute CLOCK_REALTIME timerfd, cancelled when the clock is set, watched by the event
// loop.
//
// Why this and not logind's PrepareForSleep signal over D-Bus: one file descriptor answers both cases. The kernel
// fires an absolute CLOCK_REALTIME timer as soon as the computer resumes past its instant (suspend and hibernation
// alike), and TFD_TIMER_CANCEL_ON_SET wakes it the moment the wall clock is set (by hand, by NTP stepping it, by a
// time-zone-less RTC fix-up), which logind does not tell. It needs no D-Bus, no systemd and no extra thread, and it
// rings at the wall-clock instant itself, so a minute's start is met to the millisecond without waking before it.
class TimerFdAlarm : public QObject, public WallAlarm {
    Q_OBJECT
public:
    // Nothing when the system refuses a timerfd.
    static std::unique_ptr<TimerFdAlarm> create();
    ~TimerFdAlarm() override;

    void armAt(const QDateTime& at) override;
    void disarm() override;

private:
    explicit TimerFdAlarm(int fd);
    void readable();

    int m_fd;
    QSocketNotifier* m_notifier;
};

}  // namespace tavanote
