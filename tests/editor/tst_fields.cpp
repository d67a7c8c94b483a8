// The editor's rules on their own: date and time texts, the keys of their fields, the checks of a save in their
// order and its question for a series too short to show twice (the window built on them: tst_editor).
#include <QTemporaryDir>
#include <QTest>

#include "common/DateText.h"
#include "editor/DateFields.h"
#include "editor/EditorRules.h"
#include "store/MessageStore.h"

using namespace tavanote;

namespace {

const QString kQuestion = QStringLiteral(
    "question: La date de fin d'affichage que vous avez saisi pour le message\nne permettra sans doute pas "
    "d'afficher le message plus d'une fois.\nDésirez-vous quand même enregistrer le message ?");

}  // namespace

class tst_fields : public QObject {
    Q_OBJECT
private slots:
    // kind (date, time or both)|text|valid|the text as the check gives it back (when trimmed)
    void checks_data() {
        QTest::addColumn<QStringList>("c");
        for (const char* row : {"date|05/06/2026|1", "date|5/6/2026|0", "date|05-06-2026|0", "date|29/02/2028|1",
                                "date|12/13/2026|0", "date|+5/06/2026|0", "date|01/01/0099|0", "date|01/01/0100|1",
                                "date||0", "date| 05/06/2026  |1|05/06/2026", "time|00:00|1", "time|23:59|1",
                                "time|12:60|0", "time|7:30|0", "time|07.30|0", "time||0", "time| 07:30 |1|07:30"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
        for (const char* row : {"both| 05/06/2026 07:30 |1|05/06/2026 07:30", "both| 05/06/2026 |0|05/06/2026",
                                "both|05/06/2026 25:00|0", "both|05/06/2026  7:30|0", "both|   |0|"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
    }
    void checks() {
        QFETCH(QStringList, c);
        QString text = c[1];
        QString fault;
        bool valid = false;
        if (c[0] == QLatin1String("date"))
            valid = CheckDateText(text, &fault);
        else if (c[0] == QLatin1String("time"))
            valid = CheckTimeText(text, &fault);
        else
            valid = CheckDateTimeText(text);
        QCOMPARE(valid, c[2] == QLatin1String("1"));
        const QString told = c[0] == QLatin1String("date")
                                 ? "Vous devez spécifier une date valide au format JJ/MM/AAAA "
                                 : "Vous devez spécifier une heure valide au format HH:MM ";
        QCOMPARE(fault, valid || text.isEmpty() || c[0] == QLatin1String("both") ? QString() : told);
        QCOMPARE(text, c.value(3, c[1]));
    }

    // field|key|text|caret|outcome ("pass": typed as usual, "beep": refused, "": handled)|text after|caret after
    void keyFilter_data() {
        QTest::addColumn<QStringList>("c");
        for (const char* row :
             {"date|/|05|2||05/|3", "date|/|05/06/2026|10||05/06/2026|10", "date|/|0506/2026|2||0506/2026/|10",
              "date|7|05/0|4|pass|05/0|4", "date|a|05/0|4|beep|05/0|4", "date|:|05|2|beep|05|2",
              "date|\b|05/0|4|pass|05/0|4", "time|:|07|2||07:|3", "time|:|07:30|5||07:30|5", "time|/|07|2|beep|07|2"})
            QTest::newRow(row) << QString::fromUtf8(row).split('|');
    }
    void keyFilter() {
        QFETCH(QStringList, c);
        const int cursor = c[3].toInt();
        const KeyFilterResult r =
            c[0] == QLatin1String("time") ? filterTimeKey(c[1][0], c[2], cursor) : filterDateKey(c[1][0], c[2], cursor);
        QCOMPARE(r.pass, c[4] == QLatin1String("pass"));
        QCOMPARE(r.beep, c[4] == QLatin1String("beep"));
        QCOMPARE((r.changed ? r.text : c[2]) + '|' + QString::number(r.changed ? r.cursor : cursor), c[5] + '|' + c[6]);
    }

    // The checks of a save in their order: the first fault ("field: text", the field that gets the focus), whether
    // its text is selected, and the fields as the window shows them afterwards (trimmed, the unused ones emptied).
    // Now is Friday 05/06/2026 09:00:30: weeks count from Sunday to Sunday.
    void saveChecks_data() {
        QTest::addColumn<QStringList>("typed");  // titre, texte, date, heure, date de fin, code
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("select");
        QTest::addColumn<QStringList>("after");
        const auto row = [](const QString& name, const QString& typed, const QString& fault, bool select = false,
                            const QString& after = {}) {
            const QStringList fields = typed.split('|');
            QTest::newRow(qPrintable(name))
                << fields << fault << select << (after.isEmpty() ? fields.mid(0, 5) : after.split('|'));
        };
        const QString badDate = QStringLiteral("Vous devez spécifier une date valide au format JJ/MM/AAAA pour la ");
        // The fields of a daily series, with one changed.
        const auto with = [](int field, const QString& value, int code = 2) {
            QStringList fields = QStringLiteral("Réunion|Salle 2|05/06/2026|10:00|30/06/2026").split('|');
            fields[field] = value;
            return fields.join('|') + '|' + QString::number(code);
        };
        row("daily passes", with(0, "Réunion"), "");
        row("blank title", with(0, "   "), "titre: Le titre du message doit être saisi.", false,
            "|Salle 2|05/06/2026|10:00|30/06/2026");
        row("no text", with(1, ""), "texte: Le texte du message doit être saisi.");
        row("at start: only title and text", with(2, "hier", 9), "", false, "Réunion|Salle 2|||30/06/2026");
        row("no date", with(2, " "), "date: La date d'affichage du message doit être saisie.", false,
            "Réunion|Salle 2||10:00|30/06/2026");
        row("no such date", with(2, "31/04/2026"), "date: " + badDate + "date d'affichage du message.", true);
        row("yesterday", with(2, "04/06/2026"), "date: Vous ne pouvez pas saisir de date antérieure à aujourd'hui.");
        row("no time", with(3, ""), "heure: L'heure d'affichage du message doit être saisie.");
        row("no such time", with(3, "24:00"),
            "heure: Vous devez spécifier une heure valide au format HH:MM pour l'heure d'affichage du message.", true);
        row("this minute, its second 00 past", with(3, "09:00"),
            "heure: Vous avez saisi le jour présent mais, avec une heure antérieure à l'heure actuelle.\n"
            "Entrez une autre heure qui soit plus grande que celle actuelle ou un jour postérieur à aujourd'hui.");
        row("once: the end date is emptied", with(4, "01/01/2000", 0), "", false, "Réunion|Salle 2|05/06/2026|10:00|");
        row("no end date", with(4, ""), "datefin: La date de fin d'affichage du message doit être saisie.");
        row("no such end date", with(4, "29/02/2027"), "datefin: " + badDate + "date de fin d'affichage du message.",
            true);
        row("end before start", with(4, "04/06/2026"),
            "datefin: Vous avez saisi une date de fin d'affichage du message inférieure à la date d'affichage du "
            "message.\nEntrez une autre date qui soit postérieure à celle du premier jour d'affichage.");
        // Per code: the first display, the last end date that asks; the day after (or the date given) does not.
        for (const char* series :
             {"2|05/06/2026|07/06/2026", "1|05/06/2026|05/06/2026", "3|05/06/2026|14/06/2026|21/06/2026",
              "4|31/01/2027|31/03/2027", "5|05/06/2026|31/10/2026", "6|05/06/2026|31/12/2026",
              "7|05/06/2026|30/06/2027", "8|05/06/2026|31/12/2028"}) {
            const QStringList c = QString::fromLatin1(series).split('|');
            const QString after = c.value(3, formatDate(QDate::fromString(c[2], "dd/MM/yyyy").addDays(1)));
            row(series, "Réunion|Salle 2|" + c[1] + "|10:00|" + c[2] + '|' + c[0], kQuestion);
            row(c[0] + " next day", "Réunion|Salle 2|" + c[1] + "|10:00|" + after + '|' + c[0], "");
        }
    }
    void saveChecks() {
        QFETCH(QStringList, typed);
        QFETCH(QString, fault);
        QFETCH(bool, select);
        QFETCH(QStringList, after);
        EditorFields f{typed[0], typed[1], typed[2], typed[3], typed[4], typed[5].toInt()};
        const std::optional<EditorFault> found = checkEditorFields(f, QDateTime(QDate(2026, 6, 5), QTime(9, 0, 30)));
        static const char* const names[] = {"question", "titre", "texte", "date", "heure", "datefin"};
        QCOMPARE(found ? QLatin1String(names[int(found->field)]) + ": " + found->text : QString(), fault);
        QCOMPARE(found && found->selectText, select);
        QCOMPARE(found && found->question, fault.startsWith("question"));
        QCOMPARE((QStringList{f.titre, f.texte, f.date, f.heure, f.dateFin}), after);
    }

    // A row the file refuses is told as such and nothing is written; a message gone has no fields to edit.
    void refusedSaveWritesNothing() {
        QTemporaryDir dir;
        MessageStore store;
        const QString path = MessageStore::pathIn(dir.path());
        QVERIFY(MessageStore::createEmpty(path, nullptr) && store.open(path).ok());
        const EditorSaveResult r = saveEditorFields(store, {QString(31, 'T'), "x", "05/06/2026", "10:00", "", 0}, 0);
        QCOMPARE(r.kind, EditorSaveResult::Failed);
        QCOMPARE(r.text,
                 "Impossible d'enregistrer le message: le fichier des messages est resté tel qu'il était.\n\n"
                 "Le titre ne doit pas dépasser 30 caractères.");
        QVERIFY(store.all()->empty());
        QVERIFY(!loadEditorFields(store, 1));
    }
};

QTEST_GUILESS_MAIN(tst_fields)
#include "tst_fields.moc"
