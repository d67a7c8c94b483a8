#include "IcsImport.h"

#include "calendar/IcalSupport.h"
#include "common/DateText.h"
#include "editor/DateFields.h"
#include "scheduling/Schedule.h"
#include "text/TextFiles.h"

namespace tavanote {

namespace {

// A COUNT that would step further than this is not followed.
constexpr int kMaxCount = 100000;
const QTime kAllDayTime(9, 0);

int used(const short* values, int size) {
    int n = 0;
    while (n < size && values[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

// The frequency and interval no periodicity says.
QString frequencyRefusal(const icalrecurrencetype& rule) {
    const QString n = QString::number(rule.interval);
    switch (rule.freq) {
        case ICAL_HOURLY_RECURRENCE:
            return QStringLiteral("répétition toutes les %1 heures").arg(n);
        case ICAL_DAILY_RECURRENCE:
            return QStringLiteral("répétition tous les %1 jours").arg(n);
        case ICAL_WEEKLY_RECURRENCE:
            return QStringLiteral("répétition toutes les %1 semaines").arg(n);
        case ICAL_MONTHLY_RECURRENCE:
            return QStringLiteral("répétition tous les %1 mois").arg(n);
        case ICAL_YEARLY_RECURRENCE:
            return QStringLiteral("répétition tous les %1 ans").arg(n);
        default:
            return QStringLiteral("répétition à la minute ou à la seconde");
    }
}

// Why a rule is none of the eight periodicities, from its parts alone; empty when its parts allow one. Parts that
// only repeat the start (the start's weekday, day of the month or month) are allowed.
QString ruleRefusal(const icalrecurrencetype& rule, const icaltimetype& start) {
    if (codeForIcal(rule.freq, rule.interval) == 0)
        return frequencyRefusal(rule);
    if (rule.rscale && rule.rscale[0])
        return QStringLiteral("calendrier autre que grégorien");
    const int days = used(rule.by_day, ICAL_BY_DAY_SIZE);
    for (int i = 0; i < days; ++i) {
        if (icalrecurrencetype_day_position(rule.by_day[i]) != 0)
            return QStringLiteral("répétition un jour de la semaine dans le mois (par exemple le dernier vendredi)");
    }
    if (days > 1)
        return QStringLiteral("répétition plusieurs jours par semaine");
    const int startWeekday = icaltime_day_of_week(start);
    const int monthDays = used(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const int months = used(rule.by_month, ICAL_BY_MONTH_SIZE);
    if ((days == 1 &&
         (rule.freq != ICAL_WEEKLY_RECURRENCE || icalrecurrencetype_day_day_of_week(rule.by_day[0]) != startWeekday)) ||
        monthDays > 1 || (monthDays == 1 && rule.by_month_day[0] != start.day) || months > 1 ||
        (months == 1 && rule.by_month[0] != start.month))
        return QStringLiteral("répétition à d'autres jours de la semaine, du mois ou de l'année");
    if (used(rule.by_second, ICAL_BY_SECOND_SIZE) + used(rule.by_minute, ICAL_BY_MINUTE_SIZE) +
            used(rule.by_hour, ICAL_BY_HOUR_SIZE) + used(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) +
            used(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) + used(rule.by_set_pos, ICAL_BY_SETPOS_SIZE) >
        0)
        return QStringLiteral("règle de répétition détaillée (heures, semaines ou positions)");
    if (icaltime_is_null_time(rule.until) && rule.count <= 0)
        return QStringLiteral("répétition sans fin (Tavanote demande une date de fin)");
    if (rule.count > kMaxCount)
        return QStringLiteral("répétition trop longue");
    return QString();
}

// A wall-clock time of a zone as the computer's local wall-clock time.
QDateTime toLocal(const QDateTime& wall, icaltimezone* zone) {
    if (!zone)
        return wall;
    const time_t secs = icaltime_as_timet_with_zone(icalWall(wall), zone);
    const QDateTime local = QDateTime::fromSecsSinceEpoch(qint64(secs)).toLocalTime();
    return naiveInstant(local.date(), QTime(local.time().hour(), local.time().minute()));
}

QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.trimmed();
}

// Cut at 30 characters, never inside a character written as two UTF-16 units.
QString cutTitle(const QString& title) {
    int length = kTitleMaxLength;
    if (title.at(length - 1).isHighSurrogate())
        --length;
    return title.left(length).trimmed();
}

bool inRange(const QDateTime& when) {
    return when.isValid() && isDateText(formatDate(when.date()));
}

struct Mapped {
    std::optional<Message> message;
    QString refusal;
};

Mapped mapComponent(icalcomponent* component, icalcomponent* calendar, QStringList& notes, const QString& label) {
    const bool todo = icalcomponent_isa(component) == ICAL_VTODO_COMPONENT;
    auto refuse = [](const QString& reason) { return Mapped{std::nullopt, reason}; };
    if (icalproperty* status = icalcomponent_get_first_property(component, ICAL_STATUS_PROPERTY)) {
        if (icalproperty_get_status(status) == ICAL_STATUS_CANCELLED)
            return refuse(QStringLiteral("annulé"));
        if (todo && icalproperty_get_status(status) == ICAL_STATUS_COMPLETED)
            return refuse(QStringLiteral("tâche terminée"));
    }
    if (icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY))
        return refuse(QStringLiteral("modifie une seule date d'une série répétée"));
    icalproperty* dtstart = icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY);
    if (!dtstart) {
        if (icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY))
            return refuse(QStringLiteral("date de début illisible"));
        return refuse(todo ? QStringLiteral("tâche sans date de début") : QStringLiteral("sans date de début"));
    }
    const QString title = oneLine(QString::fromUtf8(icalcomponent_get_summary(component)));
    if (title.isEmpty())
        return refuse(QStringLiteral("sans titre"));

    icaltimetype start = icalproperty_get_dtstart(dtstart);
    const std::optional<icaltimezone*> zone = sourceZone(start, dtstart, calendar);
    if (!zone) {
        icalparameter* tzid = icalproperty_get_first_parameter(dtstart, ICAL_TZID_PARAMETER);
        return refuse(
            QStringLiteral("fuseau horaire inconnu (%1)").arg(QString::fromUtf8(icalparameter_get_tzid(tzid))));
    }
    start.zone = *zone;
    const std::optional<QDateTime> ownStart = wallIn(start, dtstart, calendar, *zone);
    if (!ownStart)
        return refuse(QStringLiteral("date de début illisible"));
    const bool allDay = start.is_date;
    const QDateTime localStart = allDay ? naiveInstant(ownStart->date(), kAllDayTime) : toLocal(*ownStart, *zone);

    qint64 code = 0;
    QDateTime localEnd;
    icalproperty* rrule = icalcomponent_get_first_property(component, ICAL_RRULE_PROPERTY);
    if (!rrule && icalcomponent_get_first_property(component, ICAL_RDATE_PROPERTY))
        return refuse(QStringLiteral("dates de répétition sans règle"));
    if (rrule) {
        if (icalcomponent_get_next_property(component, ICAL_RRULE_PROPERTY))
            return refuse(QStringLiteral("plusieurs règles de répétition"));
        const icalrecurrencetype rule = icalproperty_get_rrule(rrule);
        if (const QString refusal = ruleRefusal(rule, start); !refusal.isEmpty())
            return refuse(refusal);
        code = codeForIcal(rule.freq, rule.interval);
        std::optional<QDateTime> ownEnd;
        if (rule.count > 0) {
            QDateTime last = *ownStart;
            for (int i = 1; i < rule.count && last.isValid(); ++i)
                last = addStep(code, last);
            ownEnd = last;
        } else if (rule.until.is_date && !allDay) {
            ownEnd = naiveInstant(wallOf(rule.until).date(), QTime(23, 59));
        } else {
            ownEnd = wallIn(rule.until, nullptr, calendar, *zone);
        }
        if (!ownEnd || !inRange(*ownEnd))
            return refuse(QStringLiteral("date de fin illisible ou hors des limites de Tavanote"));
        // The calendar's own displays must be Tavanote's, in the event's own zone, or the event is left whole.
        const QDateTime limit = agreementLimit(code, *ownStart);
        const std::optional<std::vector<QDateTime>> shown = calendarDisplays(component, start, *zone, limit);
        if (!shown || *shown != steppedDisplays(code, *ownStart, ownEnd, limit, *zone))
            return refuse(QStringLiteral(
                "ses dates ne suivent pas les pas de Tavanote (fin de mois, dates ajoutées ou retirées)"));
        localEnd = allDay ? naiveInstant(ownEnd->date(), kAllDayTime) : toLocal(*ownEnd, *zone);
    }
    if (!inRange(localStart) || (code != 0 && !inRange(localEnd)))
        return refuse(QStringLiteral("date hors des limites de Tavanote"));

    if (allDay)
        notes << QStringLiteral("« %1 » : journée entière, importé à 09:00").arg(label);
    Message message;
    message.titre = title;
    if (title.size() > kTitleMaxLength) {
        message.titre = cutTitle(title);
        notes << QStringLiteral("« %1 » : titre coupé à %2 caractères").arg(label).arg(kTitleMaxLength);
    }
    message.message = QString::fromUtf8(icalcomponent_get_description(component)).trimmed();
    if (message.message.isEmpty())
        message.message = title;
    message.datemessage = formatDate(localStart.date());
    message.heuremessage = localStart.time().toString(QStringLiteral("hh:mm"));
    message.etat = kStateActif;
    message.periodicite = QString::number(code);
    message.prochainaffichage = formatDateTime(localStart);
    if (code != 0)
        message.dernieraffichage = formatDateTime(localEnd);
    return Mapped{message, QString()};
}

}  // namespace

IcsRead readIcs(const QByteArray& bytes) {
    IcsRead read;
    icalerror_set_errors_are_fatal(0);
    // libical reads UTF-8; a file in Windows-1252 is turned into it first.
    const QByteArray text = decodeImportBytes(bytes).toUtf8();
    IcalComponent root(icalparser_parse_string(text.constData()));
    std::vector<icalcomponent*> calendars;
    if (root && icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root.get());
    } else if (root && icalcomponent_isa(root.get()) == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            calendars.push_back(c);
    }
    if (calendars.empty()) {
        read.error = QStringLiteral(
            "Ce fichier n'est pas un agenda iCalendar lisible: il doit commencer par BEGIN:VCALENDAR et se terminer "
            "par END:VCALENDAR (un fichier tronqué ou abîmé est refusé entier).");
        return read;
    }
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
            const icalcomponent_kind kind = icalcomponent_isa(c);
            if (kind != ICAL_VEVENT_COMPONENT && kind != ICAL_VTODO_COMPONENT)
                continue;
            ++read.held;
            QString label = oneLine(QString::fromUtf8(icalcomponent_get_summary(c)));
            if (label.isEmpty())
                label = QStringLiteral("(sans titre)");
            const Mapped mapped = mapComponent(c, calendar, read.notes, label);
            if (mapped.message)
                read.messages.push_back(*mapped.message);
            else
                read.left << QStringLiteral("« %1 » : %2").arg(label, mapped.refusal);
        }
    }
    return read;
}

namespace {

// At most this many lines of each list, so the box never grows taller than the screen.
constexpr int kListedLines = 15;

QString listed(const QStringList& lines) {
    QString text = lines.mid(0, kListedLines).join(QLatin1Char('\n')) + QLatin1Char('\n');
    if (lines.size() > kListedLines)
        text += QStringLiteral("(et %1 autre(s))\n").arg(lines.size() - kListedLines);
    return text;
}

}  // namespace

QString icsImportSummary(const QString& fileName, const IcsRead& read) {
    QString text =
        QStringLiteral("Le fichier [%1] contient %2 événement(s) ou tâche(s).\n").arg(fileName).arg(read.held);
    text += read.messages.empty() ? QStringLiteral("Aucun ne peut être importé.\n")
                                  : QStringLiteral("%1 seront importé(s).\n").arg(read.messages.size());
    if (!read.left.isEmpty())
        text += QStringLiteral("\nNe seront pas importés:\n") + listed(read.left);
    if (!read.notes.isEmpty())
        text += QStringLiteral("\nA noter:\n") + listed(read.notes);
    return text;
}

ImportGrid icsImportGrid(const MessageList& messages) {
    const QStringList& names = importFieldNames();
    ImportGrid grid(1 + int(names.size()));
    for (int c = 0; c < names.size(); ++c)
        grid.setHeader(c + 1, names.at(c));
    for (const Message& m : messages)
        grid.appendRow({m.titre, m.message, m.datemessage, m.heuremessage, m.etat, m.periodicite, m.prochainaffichage,
                        m.dernieraffichage});
    return grid;
}

}  // namespace tavanote
