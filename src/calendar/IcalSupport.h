#pragma once

#include <libical/ical.h>

#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace tavanote {

// What the calendar export and import share: libical components owned by RAII, the recurrence of each
// periodicity, and the two ways of listing a series' displays that must agree.

struct IcalComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using IcalComponent = std::unique_ptr<icalcomponent, IcalComponentFree>;

// The recurrence that says each stepping periodicity ("1" to "8"): its frequency and interval.
struct IcalStep {
    icalrecurrencetype_frequency frequency;
    int interval;
};
std::optional<IcalStep> icalStepFor(qint64 code);
// The periodicity a frequency and interval say, or 0 when none does.
qint64 codeForIcal(icalrecurrencetype_frequency frequency, int interval);

// The computer's time zone as libical knows it (nothing when it does not), and its name.
QString localZoneId();
icaltimezone* localZone();
// The zone a TZID names: the calendar's own VTIMEZONE first, then libical's built-in zones.
icaltimezone* zoneNamed(icalcomponent* calendar, const QString& tzid);

// A time's fields as a naive instant (minute precision), and back (floating, seconds 0).
QDateTime wallOf(const icaltimetype& time);
icaltimetype icalWall(const QDateTime& naive);
// False for a wall-clock time that a zone skips (the hour lost when clocks go forward).
bool existsIn(const QDateTime& naive, const icaltimezone* zone);

// A display series is compared up to this instant: two years for an hourly series, five for the others, which
// covers every drift of a month end.
QDateTime agreementLimit(qint64 code, const QDateTime& start);

// Tavanote's displays of a series, as the stepping rule makes them: the start, then one step at a time while not
// later than end (when there is one) and limit. Wall-clock times the zone skips are left out.
std::vector<QDateTime> steppedDisplays(qint64 code, const QDateTime& start, const std::optional<QDateTime>& end,
                                       const QDateTime& limit, const icaltimezone* zone);

// An event's displays as libical expands them (its RRULE from DTSTART, its RDATEs, less its EXDATEs), as sorted
// distinct wall-clock times in zone, up to limit. RDATE and EXDATE times of another zone are converted into it.
// Nothing when an RDATE or EXDATE cannot be read.
std::optional<std::vector<QDateTime>> calendarDisplays(icalcomponent* event, const icaltimetype& start,
                                                       icaltimezone* zone, const QDateTime& limit);

// The zone a property's time is written in: UTC, the zone its TZID names, or none (floating time, date). Nothing
// when its TZID names no known zone.
std::optional<icaltimezone*> sourceZone(const icaltimetype& time, icalproperty* property, icalcomponent* calendar);

// A property's time as a wall-clock time in zone (its TZID looked up in calendar; UTC and other zones converted,
// floating times and dates taken as they are). Nothing when its TZID names no known zone.
std::optional<QDateTime> wallIn(icaltimetype time, icalproperty* property, icalcomponent* calendar, icaltimezone* zone);

}  // namespace tavanote
