#include "DueTimer.h"

#include <QTimer>

#include "common/Services.h"

namespace tavanote {

QDateTime startOfNextMinute(const QDateTime& now) {
    // Whole minutes since the epoch: every time zone in use is a whole number of minutes away from UTC, so this is
    // the start of the next local minute too, across the spring and autumn changes.
    const qint64 ms = now.toMSecsSinceEpoch();
    const qint64 minute = 60'000;
    const qint64 next = (ms >= 0 ? ms / minute : (ms - minute + 1) / minute) * minute + minute;
    return now.addMSecs(next - ms);
}

DueTimer::DueTimer(Clock& clock, std::unique_ptr<WallAlarm> alarm, std::function<void()> check, QObject* parent)
    : QObject(parent), m_clock(clock), m_alarm(std::move(alarm)), m_check(std::move(check)) {
    if (m_alarm) {
        m_alarm->ringing = [this] { ring(); };
    } else {
        Timer2 = new QTimer(this);
        Timer2->setObjectName(QStringLiteral("Timer2"));
        Timer2->setSingleShot(true);
        Timer2->setTimerType(Qt::PreciseTimer);
        connect(Timer2, &QTimer::timeout, this, &DueTimer::ring);
    }
}

DueTimer::~DueTimer() = default;

void DueTimer::start() {
    m_active = true;
    ring();
}

void DueTimer::stop() {
    m_active = false;
    m_armedFor = QDateTime();
    if (m_alarm)
        m_alarm->disarm();
    else
        Timer2->stop();
}

void DueTimer::ring() {
    if (!m_active)
        return;
    m_check();
    // The check may have shown a box and stopped the timer (the program ends).
    if (m_active)
        arm();
}

void DueTimer::arm() {
    const QDateTime now = m_clock.now();
    m_armedFor = startOfNextMinute(now);
    if (m_alarm)
        m_alarm->armAt(m_armedFor);
    else
        Timer2->start(static_cast<int>(std::max<qint64>(0, now.msecsTo(m_armedFor))));
}

}  // namespace tavanote
