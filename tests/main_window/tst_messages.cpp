// Bringing the messages of version 1.0.0 over from the settings into the store (all of those it can hold, or none),
// and the warning of the quit question.
#include <QTemporaryDir>
#include <QTest>

#include "common/SettingsStore.h"
#include "messages/QuitQuestion.h"
#include "messages/Recovery.h"
#include "store/MessageStore.h"

using namespace tavanote;

namespace {

const QString kEnding = QStringLiteral(" à partir de l'ancienne version.");

}  // namespace

class tst_messages : public QObject {
    Q_OBJECT
private slots:
    // Active and displayed messages are counted apart, each in the singular or the plural.
    void quitWarning() {
        const QString active = QStringLiteral(
            "\nIl existe des messages actifs à afficher [%1 message(s)]\n"
            "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.");
        const QString one = QStringLiteral("Celui-ci ne sera plus affiché si vous quittez le programme.");
        const QString many = QStringLiteral("Ceux-ci ne seront plus affichés si vous quittez le programme.");
        const std::tuple<int, int, QString> rows[] = {
            {0, 0, ""},
            {1, 0, active.arg(1)},
            {3, 1, active.arg(3) + "\nDe plus, 1 message est actuellement affiché.\n" + one},
            {2, 3, active.arg(2) + "\nDe plus, 3 messages sont actuellement affichés.\n" + many},
            {0, 1, "\nIl existe un message actuellement affiché.\n" + one},
            {0, 2, "\nIl existe des messages actuellement affichés [2 messages]\n" + many}};
        for (const auto& [actives, displayed, warning] : rows)
            QCOMPARE(quitQuestion(actives, displayed), "Êtes-vous sûr(e) de vouloir quitter le programme 'Tavanote' ?" +
                                                           (warning.isEmpty() ? "" : "\n\nAttention:" + warning));
    }
    void recovers_data() {
        QTest::addColumn<QStringList>("left");  // each "name|value in liste|jour:|heure:|texte:"
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");  // each "titre|message|datemessage|heuremessage|prochainaffichage"
        QTest::addColumn<QStringList>("kept");  // sections of the old version that stay
        // Old values are data, never statement text: an apostrophe in a date or a title stays where it was typed.
        const QString date = QStringLiteral("0'5/06/2026'); DELETE FROM message; --");
        QTest::newRow("plural, bound") << QStringList{"Alpha|EN COURS|05/06/2026|09:30|Salle 2",
                                                      "Beta|EN COURS|5/6/2026|9:05:40|B",
                                                      "x','y|EN COURS|" + date + "|09:30|t"}
                                       << "3 messages ont été récupérés" + kEnding
                                       << QStringList{"Alpha|Salle 2|05/06/2026|09:30|05/06/2026 09:30",
                                                      "Beta|B|05/06/2026|09:05|05/06/2026 09:05",
                                                      "x','y|t|" + date + "|09:30|" + date + " 09:30"}
                                       << QStringList();
        QTest::newRow("singular, apostrophes")
            << QStringList{" L'heure |EN COURS|01/02/2026|08:00|C'est l''heure "}
            << "1 message a été récupéré" + kEnding
            << QStringList{"L'heure|C'est l''heure|01/02/2026|08:00|01/02/2026 08:00"} << QStringList();
        QTest::newRow("no list") << QStringList() << "Il n'existe aucun message a récupérer" + kEnding << QStringList()
                                 << QStringList();
        QTest::newRow("lower case") << QStringList{"Vieux|en cours|01/02/2026|08:00|x",
                                                   "Fini|TERMINE|01/02/2026|08:00|y"}
                                    << "Aucun message n'a été récupéré" + kEnding << QStringList()
                                    << QStringList{"Vieux", "Fini"};
        QTest::newRow("unreadable") << QStringList{"Demain|EN COURS|demain|7:15|z", "Vide|EN COURS|||"}
                                    << "2 messages ont été récupérés" + kEnding
                                    << QStringList{"Demain|z|demain|07:15|demain 07:15", "Vide||||"} << QStringList();
        // A title the store cannot hold, or the name of one of the program's sections, is left and listed.
        const QString longName = QString(31, QLatin1Char('T'));
        QTest::newRow("unstorable names")
            << QStringList{"Alpha|EN COURS|05/06/2026|09:30|a", longName + "|EN COURS|05/06/2026|09:30|b",
                           "parametres|EN COURS|05/06/2026|09:30|c", "liste|EN COURS|05/06/2026|09:30|d"}
            << "1 message a été récupéré" + kEnding +
                   "\n\nCes messages n'ont pas pu être récupérés: leur titre a plus de 30 caractères ou est le nom "
                   "d'une section du programme. Ils restent dans le fichier des paramètres.\n" +
                   longName + "\nliste\nparametres"
            << QStringList{"Alpha|a|05/06/2026|09:30|05/06/2026 09:30"} << QStringList{longName, "parametres"};
    }
    // Recovered as one-time active messages; what is recovered leaves the settings file, with the list; the
    // program's own keys stay.
    void recovers() {
        QFETCH(QStringList, left);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, kept);
        QTemporaryDir dir;
        MessageStore store;
        QString error;
        QVERIFY2(MessageStore::createEmpty(dir.filePath("messages.fdm"), &error), qPrintable(error));
        QVERIFY(store.open(dir.filePath("messages.fdm")).ok());
        SettingsStore settings(dir.filePath(QStringLiteral("Tavanote.ini")));
        settings.set(kParametres, QStringLiteral("couleur"), QStringLiteral("255"));
        if (!left.isEmpty())
            settings.set("liste", QStringLiteral("nombre"), QString::number(left.size()));
        for (const QString& message : left) {
            const QStringList f = message.split(QLatin1Char('|'));
            settings.set("liste", f[0], f[1]);
            if (f[0] != "liste") {
                settings.set(f[0], QStringLiteral("jour:"), f[2]);
                settings.set(f[0], QStringLiteral("heure:"), f[3]);
                settings.set(f[0], QStringLiteral("texte:"), f[4]);
            }
        }
        QVERIFY(settings.save());
        const RecoveryResult r = RecoverOldMessages(store, settings);
        QVERIFY(!r.failed);
        QTEST(r.text, "text");
        QCOMPARE(r.refreshLists, !rows.isEmpty());
        QStringList stored;
        for (const Message& m : store.all().value_or(MessageList())) {
            QCOMPARE(m.etat + '|' + m.periodicite + '|' + m.dernieraffichage, QStringLiteral("actif|0|"));
            stored << QStringList{m.titre, m.message, m.datemessage, m.heuremessage, m.prochainaffichage}.join('|');
        }
        QCOMPARE(stored, rows);
        SettingsStore reread(settings.fileName());
        QVERIFY(reread.section("liste").isEmpty());
        QCOMPARE(reread.get(kParametres, QStringLiteral("couleur")), QStringLiteral("255"));
        for (const QString& message : left) {
            const QString name = message.section(QLatin1Char('|'), 0, 0);
            QCOMPARE(reread.section(name).isEmpty(), !kept.contains(name));
        }
    }
};

QTEST_GUILESS_MAIN(tst_messages)
#include "tst_messages.moc"
