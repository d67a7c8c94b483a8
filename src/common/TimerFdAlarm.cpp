#include "TimerFdAlarm.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QDateTime>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tavanote {

std::unique_ptr<TimerFdAlarm> TimerFdAlarm::create() {
    const int fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<TimerFdAlarm>(new TimerFdAlarm(fd));
}

TimerFdAlarm::TimerFdAlarm(int fd) : m_fd(fd), m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this)) {
    connect(m_notifier, &QSocketNotifier::activated, this, &TimerFdAlarm::readable);
}

TimerFdAlarm::~TimerFdAlarm() {
    delete m_notifier;
    ::close(m_fd);
}

void TimerFdAlarm::armAt(const QDateTime& at) {
    const qint64 ms = at.toMSecsSinceEpoch();
    itimerspec spec{};
    spec.it_value.tv_sec = static_cast<time_t>(ms / 1000);
    spec.it_value.tv_nsec = static_cast<long>(ms % 1000) * 1'000'000;
    // ECANCELED tells of a clock set since the last arming; the timer is armed all the same.
    if (timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr) != 0 && errno != ECANCELED)
        qWarning("timerfd_settime: %s", strerror(errno));
}

void TimerFdAlarm::disarm() {
    const itimerspec off{};
    timerfd_settime(m_fd, 0, &off, nullptr);
}

void TimerFdAlarm::readable() {
    std::uint64_t expirations = 0;
    // ECANCELED: the wall clock was set. EAGAIN: nothing after all (the alarm was armed again meanwhile).
    if (::read(m_fd, &expirations, sizeof expirations) < 0 && errno == EAGAIN)
        return;
    if (ringing)
        ringing();
}

}  // namespace tavanote
