#include <QTest>

#include "calendar/IcalSupport.h"
#include "calendar/IcsExport.h"
#include "calendar/IcsImport.h"
#include "common/DateText.h"
#include "scheduling/Schedule.h"

using namespace tavanote;

namespace {

Message message(const QString& titre, const QString& code, const QString& next, const QString& end = QString()) {
    return Message{7, titre, "Texte de " + titre, next.left(10), next.mid(11), kStateActif, code, next, end};
}

// Each message's eight fields joined by "|".
QStringList fields(const MessageList& list) {
    QStringList all;
    for (const Message& m : list)
        all << QStringList{m.titre, m.message,     m.datemessage,       m.heuremessage,
                           m.etat,  m.periodicite, m.prochainaffichage, m.dernieraffichage}
                   .join(QLatin1Char('|'));
    return all;
}

// Exported on 7 December 2026 at 08:00 UTC.
IcsExport exported(const MessageList& messages) {
    return exportIcs(messages, "/tmp/messages.fdm", QDateTime(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC));
}

// The displays a calendar shows, expanded by libical alone: the RRULE with its UNTIL, plus RDATE, less EXDATE.
std::vector<QDateTime> libicalDisplays(const QByteArray& ics, const QDateTime& until) {
    IcalComponent calendar(icalparser_parse_string(ics.constData()));
    icalcomponent* event = icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
    const icaltimetype start = icalcomponent_get_dtstart(event);
    std::vector<QDateTime> shown{wallOf(start)};
    icalrecur_iterator* it = icalrecur_iterator_new(
        icalproperty_get_rrule(icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)), start);
    for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t) && wallOf(t) <= until;
         t = icalrecur_iterator_next(it))
        shown.push_back(wallOf(t));
    icalrecur_iterator_free(it);
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY))
        shown.push_back(wallOf(icalproperty_get_rdate(p).time));
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY))
        shown.erase(std::remove(shown.begin(), shown.end(), wallOf(icalproperty_get_exdate(p))), shown.end());
    // Times the clocks skip are shown by no one.
    shown.erase(std::remove_if(shown.begin(), shown.end(),
                               [&](const QDateTime& t) { return t > until || !existsIn(t, localZone()); }),
                shown.end());
    std::sort(shown.begin(), shown.end());
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    return shown;
}

}  // namespace

class tst_Ics : public QObject {
    Q_OBJECT
private slots:
    // Over two years, the calendar shows what Tavanote's stepping rule shows, and the import reads the series back:
    // each periodicity from month ends, the 29th of February, over the clock changes and from years ago, ending on a
    // step.
    void exportedSeriesStepLikeTavanote() {
        for (const char* code : {"1", "2", "3", "4", "5", "6", "7", "8"}) {
            for (const char* start : {"28/03/2027 00:30", "30/10/2027 22:00", "31/01/2027 02:30", "30/03/2027 10:00",
                                      "29/02/2028 12:00", "31/01/2022 10:00"}) {
                const QDateTime first = *readInstant(start);
                const QDateTime last = *code == '1' ? first.addDays(2) : first.addYears(3);
                const MessageList series = {message(QStringLiteral("Série"), code, start, formatDateTime(last))};
                const IcsExport ics = exported(series);
                const QDateTime horizon = std::max(first, *readInstant("07/12/2026 09:00")).addYears(2);
                std::vector<QDateTime> expected;
                for (QDateTime t = first; t <= last && t <= horizon; t = addStep(QByteArray(code).toLongLong(), t)) {
                    if (existsIn(t, localZone()))
                        expected.push_back(t);
                }
                const QByteArray row = QByteArray("code ") + code + " from " + start;
                QVERIFY2(libicalDisplays(ics.bytes, horizon) == expected, row.constData());
                QVERIFY2(fields(readIcs(ics.bytes).messages) == fields(series),
                         row.constData());  // read back as it was
            }
        }
    }

    // A one-time message and texts to escape and fold come back as they were; one shown at start has no time to give.
    void exportThenImportGivesTheSameMessages() {
        MessageList messages = {
            message(QStringLiteral("Réunion, salle 2; étage"), QStringLiteral("0"), QStringLiteral("12/01/2027 14:30")),
            message(QStringLiteral("Loyer 🏠"), QStringLiteral("4"), QStringLiteral("31/01/2027 10:00"),
                    QStringLiteral("31/12/2028 10:00")),
            message(QStringLiteral("Au démarrage"), QStringLiteral("9"), QString())};
        messages[0].message = QStringLiteral("Ligne 1, avec virgule;\nligne 2 « accentuée » éàç — 😀 fin\\");
        messages[1].message = QString(80, QChar(0x00E9)) + QStringLiteral("🏠🏠🏠 long texte plié");
        const IcsExport ics = exported(messages);
        QCOMPARE(ics.exported, 2);
        QCOMPARE(ics.startup, 1);
        QVERIFY(icsLeftOutText(ics).startsWith(QStringLiteral("1 message(s) affiché(s) à chaque démarrage")));
        // UTF-8, CR LF, folded at 75 octets without cutting a character.
        QCOMPARE(ics.bytes.count('\n'), ics.bytes.count("\r\n"));
        for (const QByteArray& line : ics.bytes.split('\n'))
            QVERIFY2(line.size() <= 76 && QString::fromUtf8(line).toUtf8() == line, line.constData());
        const IcsRead read = readIcs(ics.bytes);
        QCOMPARE(read.error + read.left.join(' '), QString());
        messages.pop_back();
        QCOMPARE(fields(read.messages), fields(messages));
    }

    // Recurrences no periodicity says are left with their reason, never approximated.
    void leftEvents_data() {
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* name, const QByteArray& lines, const char* reason) {
            QTest::newRow(name) << "DTSTART;TZID=Europe/Paris:20270129T100000\r\n" + lines << reason;
        };
        const char* offSteps = "ses dates ne suivent pas les pas de Tavanote (fin de mois, dates ajoutées ou retirées)";
        row("every 4 days", "RRULE:FREQ=DAILY;INTERVAL=4;COUNT=5\r\n", "répétition tous les 4 jours");
        row("last Friday", "RRULE:FREQ=MONTHLY;BYDAY=-1FR;COUNT=5\r\n",
            "répétition un jour de la semaine dans le mois (par exemple le dernier vendredi)");
        row("other day of the month", "RRULE:FREQ=MONTHLY;BYMONTHDAY=15;COUNT=5\r\n",
            "répétition à d'autres jours de la semaine, du mois ou de l'année");
        row("without end", "RRULE:FREQ=WEEKLY\r\n", "répétition sans fin (Tavanote demande une date de fin)");
        row("every minute", "RRULE:FREQ=MINUTELY;COUNT=3\r\n", "répétition à la minute ou à la seconde");
        row("29th skips February", "RRULE:FREQ=MONTHLY;COUNT=3\r\n", offSteps);
        row("a date taken away", "RRULE:FREQ=DAILY;COUNT=3\r\nEXDATE;TZID=Europe/Paris:20270130T100000\r\n", offSteps);
        row("dates alone", "RDATE:20270202T100000Z\r\n", "dates de répétition sans règle");
        row("two rules", "RRULE:FREQ=DAILY;COUNT=3\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\n", "plusieurs règles de répétition");
        row("cancelled", "STATUS:CANCELLED\r\n", "annulé");
        row("one date of a series", "RECURRENCE-ID:20270130T100000Z\r\n", "modifie une seule date d'une série répétée");
        QTest::newRow("unreadable start") << QByteArray("DTSTART:2027XX29T100000\r\n") << "date de début illisible";
    }
    void leftEvents() {
        QFETCH(QByteArray, event);
        QFETCH(QString, reason);
        const IcsRead read = readIcs("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:x\r\nSUMMARY:Essai\r\n" +
                                     event + "END:VEVENT\r\nEND:VCALENDAR\r\n");
        QCOMPARE(read.left, QStringList{QStringLiteral("« Essai » : ") + reason});
        QVERIFY(read.held == 1 && read.messages.empty());
    }
};

QTEST_GUILESS_MAIN(tst_Ics)
#include "tst_ics.moc"
