#include "IcalSupport.h"

#include <QTimeZone>
#include <algorithm>

#include "scheduling/Schedule.h"

namespace tavanote {

namespace {

// No list of displays compared grows beyond this many (two years of an hourly series fit).
constexpr int kMaxCompared = 20000;

struct StepRow {
    qint64 code;
    icalrecurrencetype_frequency frequency;
    int interval;
};
constexpr StepRow kSteps[] = {
    {1, ICAL_HOURLY_RECURRENCE, 1},
    {2, ICAL_DAILY_RECURRENCE, 1},
    {3, ICAL_WEEKLY_RECURRENCE, 1},
    {4, ICAL_MONTHLY_RECURRENCE, 1},
    {5, ICAL_MONTHLY_RECURRENCE, 2},
    {6, ICAL_MONTHLY_RECURRENCE, 3},
    {7, ICAL_MONTHLY_RECURRENCE, 6},
    {8, ICAL_YEARLY_RECURRENCE, 1},
    // The same steps said another way.
    {3, ICAL_DAILY_RECURRENCE, 7},
    {8, ICAL_MONTHLY_RECURRENCE, 12},
};

void sortDistinct(std::vector<QDateTime>& times) {
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
}

}  // namespace

std::optional<IcalStep> icalStepFor(qint64 code) {
    for (const StepRow& row : kSteps) {
        if (row.code == code)
            return IcalStep{row.frequency, row.interval};
    }
    return std::nullopt;
}

qint64 codeForIcal(icalrecurrencetype_frequency frequency, int interval) {
    for (const StepRow& row : kSteps) {
        if (row.frequency == frequency && row.interval == std::max(interval, 1))
            return row.code;
    }
    return 0;
}

QString localZoneId() {
    return QString::fromUtf8(QTimeZone::systemTimeZoneId());
}

icaltimezone* localZone() {
    const QByteArray id = QTimeZone::systemTimeZoneId();
    return id.isEmpty() ? nullptr : icaltimezone_get_builtin_timezone(id.constData());
}

icaltimezone* zoneNamed(icalcomponent* calendar, const QString& tzid) {
    const QByteArray id = tzid.toUtf8();
    if (id.isEmpty())
        return nullptr;
    if (calendar && icalcomponent_isa(calendar) == ICAL_VCALENDAR_COMPONENT) {
        if (icaltimezone* own = icalcomponent_get_timezone(calendar, id.constData()))
            return own;
    }
    if (icaltimezone* builtin = icaltimezone_get_builtin_timezone_from_tzid(id.constData()))
        return builtin;
    return icaltimezone_get_builtin_timezone(id.constData());
}

QDateTime wallOf(const icaltimetype& time) {
    const QDate date(time.year, time.month, time.day);
    return naiveInstant(date, time.is_date ? QTime(0, 0) : QTime(time.hour, time.minute));
}

icaltimetype icalWall(const QDateTime& naive) {
    icaltimetype time = icaltime_null_time();
    time.year = naive.date().year();
    time.month = naive.date().month();
    time.day = naive.date().day();
    time.hour = naive.time().hour();
    time.minute = naive.time().minute();
    return time;
}

bool existsIn(const QDateTime& naive, const icaltimezone* zone) {
    if (!zone)
        return true;
    icaltimetype wall = icalWall(naive);
    wall.zone = zone;
    icaltimetype there = icaltime_convert_to_zone(wall, icaltimezone_get_utc_timezone());
    there = icaltime_convert_to_zone(there, const_cast<icaltimezone*>(zone));
    return wallOf(there) == naive;
}

QDateTime agreementLimit(qint64 code, const QDateTime& start) {
    return start.addYears(code == 1 ? 2 : 5);
}

std::vector<QDateTime> steppedDisplays(qint64 code, const QDateTime& start, const std::optional<QDateTime>& end,
                                       const QDateTime& limit, const icaltimezone* zone) {
    std::vector<QDateTime> displays;
    // The first display is the start itself, whatever the end says.
    if (existsIn(start, zone))
        displays.push_back(start);
    if (!hasStep(code))
        return displays;
    QDateTime next = addStep(code, start);
    for (int n = 0; n < kMaxCompared && next <= limit && (!end || next <= *end); ++n, next = addStep(code, next)) {
        if (existsIn(next, zone))
            displays.push_back(next);
    }
    return displays;
}

std::optional<icaltimezone*> sourceZone(const icaltimetype& time, icalproperty* property, icalcomponent* calendar) {
    if (time.is_date)
        return nullptr;
    if (icaltime_is_utc(time))
        return icaltimezone_get_utc_timezone();
    icalparameter* tzid = property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr;
    if (!tzid)
        return nullptr;
    icaltimezone* zone = zoneNamed(calendar, QString::fromUtf8(icalparameter_get_tzid(tzid)));
    if (!zone)
        return std::nullopt;
    return zone;
}

std::optional<QDateTime> wallIn(icaltimetype time, icalproperty* property, icalcomponent* calendar,
                                icaltimezone* zone) {
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time))
        return std::nullopt;
    const std::optional<icaltimezone*> from = sourceZone(time, property, calendar);
    if (!from)
        return std::nullopt;
    time.zone = *from;
    const QDateTime wall =
        !*from || !zone || *from == zone ? wallOf(time) : wallOf(icaltime_convert_to_zone(time, zone));
    if (!wall.isValid())
        return std::nullopt;
    return wall;
}

std::optional<std::vector<QDateTime>> calendarDisplays(icalcomponent* event, const icaltimetype& start,
                                                       icaltimezone* zone, const QDateTime& limit) {
    icalcomponent* calendar = icalcomponent_get_parent(event);
    // The start always counts as the first display.
    std::vector<QDateTime> displays{wallOf(start)};
    if (icalproperty* rrule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)) {
        if (icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start)) {
            for (int n = 0; n < kMaxCompared; ++n) {
                const icaltimetype next = icalrecur_iterator_next(it);
                if (icaltime_is_null_time(next) || !icaltime_is_valid_time(next) || wallOf(next) > limit)
                    break;
                displays.push_back(wallOf(next));
            }
            icalrecur_iterator_free(it);
        }
    }
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
        const icaltimetype time = icalperiodtype_is_null_period(rdate.period) ? rdate.time : rdate.period.start;
        const std::optional<QDateTime> wall = wallIn(time, p, calendar, zone);
        if (!wall)
            return std::nullopt;
        if (*wall <= limit)
            displays.push_back(*wall);
    }
    sortDistinct(displays);
    std::vector<QDateTime> excluded;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
        const std::optional<QDateTime> wall = wallIn(icalproperty_get_exdate(p), p, calendar, zone);
        if (!wall)
            return std::nullopt;
        excluded.push_back(*wall);
    }
    sortDistinct(excluded);
    std::vector<QDateTime> kept;
    std::set_difference(displays.begin(), displays.end(), excluded.begin(), excluded.end(), std::back_inserter(kept));
    kept.erase(std::remove_if(kept.begin(), kept.end(), [zone](const QDateTime& t) { return !existsIn(t, zone); }),
               kept.end());
    return kept;
}

}  // namespace tavanote
