#include "IcsExport.h"

#include <QUuid>
#include <algorithm>

#include "calendar/IcalSupport.h"
#include "scheduling/Schedule.h"

namespace tavanote {

namespace {

const QUuid kUidNamespace = QUuid::fromString(QStringLiteral("{6f1c9a52-3d47-4b8e-9a0c-2b5e7d14c3a8}"));

icalproperty* withZone(icalproperty* property, const QByteArray& tzid) {
    if (!tzid.isEmpty())
        icalproperty_add_parameter(property, icalparameter_new_tzid(tzid.constData()));
    return property;
}

// The zone's VTIMEZONE under the name the events use.
icalcomponent* namedTimezone(icaltimezone* zone, const QByteArray& tzid) {
    icalcomponent* vtimezone = icalcomponent_new_clone(icaltimezone_get_component(zone));
    if (icalproperty* id = icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY))
        icalproperty_set_tzid(id, tzid.constData());
    return vtimezone;
}

icalproperty* untilRule(const IcalStep& step, const std::optional<QDateTime>& end) {
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.freq = step.frequency;
    rule.interval = static_cast<short>(step.interval);
    if (end) {
        // An UNTIL beside a zoned start is written in UTC.
        const QDateTime utc = QDateTime(end->date(), end->time(), Qt::LocalTime).toUTC();
        rule.until = icalWall(utc);
        rule.until.zone = icaltimezone_get_utc_timezone();
    }
    return icalproperty_new_rrule(rule);
}

// Makes the calendar show the stepping rule's displays: libical expands the rule, and what differs (a day of the
// month drifting after a short month) is added as RDATE or taken away as EXDATE.
// They agree from the start, and years ahead of now even when the start has long passed.
void matchStepping(icalcomponent* event, qint64 code, const QDateTime& start, const std::optional<QDateTime>& end,
                   const QDateTime& now, icaltimezone* zone, const QByteArray& tzid) {
    const QDateTime limit = agreementLimit(code, std::max(start, now));
    const std::vector<QDateTime> wanted = steppedDisplays(code, start, end, limit, zone);
    icaltimetype dtstart = icalWall(start);
    dtstart.zone = zone;
    const std::optional<std::vector<QDateTime>> shown = calendarDisplays(event, dtstart, zone, limit);
    if (!shown)
        return;
    std::vector<QDateTime> missing, extra;
    std::set_difference(wanted.begin(), wanted.end(), shown->begin(), shown->end(), std::back_inserter(missing));
    std::set_difference(shown->begin(), shown->end(), wanted.begin(), wanted.end(), std::back_inserter(extra));
    for (const QDateTime& when : missing) {
        icaldatetimeperiodtype rdate{};
        rdate.time = icalWall(when);
        rdate.period = icalperiodtype_null_period();
        icalcomponent_add_property(event, withZone(icalproperty_new_rdate(rdate), tzid));
    }
    for (const QDateTime& when : extra)
        icalcomponent_add_property(event, withZone(icalproperty_new_exdate(icalWall(when)), tzid));
}

icalcomponent* displayAlarm(const QString& title) {
    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_null_duration();
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    icalcomponent_add_property(alarm, icalproperty_new_description(title.toUtf8().constData()));
    return alarm;
}

}  // namespace

IcsExport exportIcs(const MessageList& messages, const QString& source, const QDateTime& stamp) {
    IcsExport result;
    IcalComponent calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Tavanote//Tavanote 2.0//FR"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    icaltimezone* builtin = localZone();
    const QByteArray tzid = builtin ? localZoneId().toUtf8() : QByteArray();
    icaltimezone* zone = nullptr;
    if (builtin) {
        icalcomponent_add_component(calendar.get(), namedTimezone(builtin, tzid));
        zone = icalcomponent_get_timezone(calendar.get(), tzid.constData());
    }
    icaltimetype dtstamp = icalWall(stamp.toUTC());
    dtstamp.second = stamp.toUTC().time().second();
    dtstamp.zone = icaltimezone_get_utc_timezone();

    for (const Message& message : messages) {
        const qint64 code = message.periodicite.toLongLong();
        if (code == 9) {
            ++result.startup;
            continue;
        }
        std::optional<QDateTime> start = readInstant(message.prochainaffichage);
        if (!start)
            start = readInstant(message.datemessage + QLatin1Char(' ') + message.heuremessage);
        if (!start) {
            ++result.unreadable;
            continue;
        }
        icalcomponent* event = icalcomponent_new_vevent();
        icalcomponent_add_component(calendar.get(), event);
        const QString uid = QUuid::createUuidV5(kUidNamespace, source + QLatin1Char('#') + QString::number(message.id))
                                .toString(QUuid::WithoutBraces) +
                            QStringLiteral("@tavanote");
        icalcomponent_add_property(event, icalproperty_new_uid(uid.toUtf8().constData()));
        icalcomponent_add_property(event, icalproperty_new_dtstamp(dtstamp));
        icalcomponent_add_property(event, withZone(icalproperty_new_dtstart(icalWall(*start)), tzid));
        icalcomponent_add_property(event, icalproperty_new_summary(message.titre.toUtf8().constData()));
        icalcomponent_add_property(event, icalproperty_new_description(message.message.toUtf8().constData()));
        if (const std::optional<IcalStep> step = icalStepFor(code)) {
            const std::optional<QDateTime> end = readInstant(message.dernieraffichage);
            icalcomponent_add_property(event, untilRule(*step, end));
            matchStepping(event, code, *start, end, naiveNow(stamp.toLocalTime()), zone, tzid);
        }
        icalcomponent_add_component(event, displayAlarm(message.titre));
        ++result.exported;
    }
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    result.bytes = QByteArray(text);
    icalmemory_free_buffer(text);
    return result;
}

QString icsLeftOutText(const IcsExport& result) {
    QString text;
    if (result.startup > 0)
        text += QStringLiteral(
                    "%1 message(s) affiché(s) à chaque démarrage du programme n'ont pas d'heure dans un "
                    "agenda : ils n'ont pas été exportés.\n")
                    .arg(result.startup);
    if (result.unreadable > 0)
        text += QStringLiteral("%1 message(s) sans date d'affichage lisible n'ont pas été exportés.\n")
                    .arg(result.unreadable);
    return text;
}

}  // namespace tavanote
