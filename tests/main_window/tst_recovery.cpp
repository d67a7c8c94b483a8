// Bringing the messages of version 1.0.0 over from the settings into the store: all of those it can hold, or none.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/SettingsStore.h"
#include "messages/Recovery.h"
#include "store/MessageStore.h"

using namespace tavanote;

namespace {

const QString kListe = QStringLiteral("liste");
const QString kEnding = QStringLiteral(" à partir de l'ancienne version.");

struct World {
    QTemporaryDir dir;
    MessageStore store;
    SettingsStore settings{dir.filePath(QStringLiteral("Tavanote.ini"))};

    World() {
        const QString path = dir.filePath(QStringLiteral("messages.fdm"));
        QString error;
        if (!MessageStore::createEmpty(path, &error) || !store.open(path).ok())
            qFatal("store: %s", qPrintable(error));
    }
    // The old version's entries, each "name|value in liste|jour:|heure:|texte:"; none: no list at all.
    void leave(const QStringList& messages) {
        if (!messages.isEmpty())
            settings.set(kListe, QStringLiteral("nombre"), QString::number(messages.size()));
        for (const QString& message : messages) {
            const QStringList f = message.split(QLatin1Char('|'));
            settings.set(kListe, f[0], f[1]);
            settings.set(f[0], QStringLiteral("jour:"), f[2]);
            settings.set(f[0], QStringLiteral("heure:"), f[3]);
            settings.set(f[0], QStringLiteral("texte:"), f[4]);
        }
    }
    // Every row after its id, "titre|message|datemessage|heuremessage|etat|periodicite|prochain|dernier".
    QStringList rows() {
        QStringList rows;
        for (const Message& m : store.all().value_or(MessageList())) {
            rows << QStringList{m.titre, m.message,     m.datemessage,       m.heuremessage,
                                m.etat,  m.periodicite, m.prochainaffichage, m.dernieraffichage}
                        .join(QLatin1Char('|'));
        }
        return rows;
    }
};

}  // namespace

class tst_recovery : public QObject {
    Q_OBJECT
private slots:
    void recovers_data() {
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("kept");  // sections of the old version that stay

        // Old values are data, never statement text: an apostrophe in a date or a title stays where it was typed.
        const QString date = QStringLiteral("0'5/06/2026'); DELETE FROM message; --");
        QTest::newRow("plural, bound") << QStringList{"Alpha|EN COURS|05/06/2026|09:30|Salle 2",
                                                      "Beta|EN COURS|5/6/2026|9:05:40|B",
                                                      "x','y|EN COURS|" + date + "|09:30|t"}
                                       << "3 messages ont été récupérés" + kEnding
                                       << QStringList{"Alpha|Salle 2|05/06/2026|09:30|actif|0|05/06/2026 09:30|",
                                                      "Beta|B|05/06/2026|09:05|actif|0|05/06/2026 09:05|",
                                                      "x','y|t|" + date + "|09:30|actif|0|" + date + " 09:30|"}
                                       << QStringList();
        QTest::newRow("singular, apostrophes")
            << QStringList{" L'heure |EN COURS|01/02/2026|08:00|C'est l''heure "}
            << "1 message a été récupéré" + kEnding
            << QStringList{"L'heure|C'est l''heure|01/02/2026|08:00|actif|0|01/02/2026 08:00|"} << QStringList();
        QTest::newRow("no list") << QStringList() << "Il n'existe aucun message a récupérer" + kEnding << QStringList()
                                 << QStringList();
        QTest::newRow("lower case") << QStringList{"Vieux|en cours|01/02/2026|08:00|x",
                                                   "Fini|TERMINE|01/02/2026|08:00|y"}
                                    << "Aucun message n'a été récupéré" + kEnding << QStringList()
                                    << QStringList{"Vieux", "Fini"};
        QTest::newRow("unreadable") << QStringList{"Demain|EN COURS|demain|7:15|z", "Vide|EN COURS|||"}
                                    << "2 messages ont été récupérés" + kEnding
                                    << QStringList{"Demain|z|demain|07:15|actif|0|demain 07:15|", "Vide||||actif|0||"}
                                    << QStringList();
        // A title the store cannot hold, or the name of one of the program's sections, is left where it is and
        // listed; the others are recovered.
        const QString longName = QString(31, QLatin1Char('T'));
        QTest::newRow("unstorable names")
            << QStringList{"Alpha|EN COURS|05/06/2026|09:30|a", longName + "|EN COURS|05/06/2026|09:30|b",
                           "parametres|EN COURS|05/06/2026|09:30|c"}
            << "1 message a été récupéré" + kEnding +
                   "\n\nCes messages n'ont pas pu être récupérés: leur titre a plus de 30 caractères ou est le nom "
                   "d'une section du programme. Ils restent dans le fichier des paramètres.\n" +
                   longName + "\nparametres"
            << QStringList{"Alpha|a|05/06/2026|09:30|actif|0|05/06/2026 09:30|"} << QStringList{longName, "parametres"};
    }
    // What is recovered leaves the settings file, with the list; the program's own keys stay.
    void recovers() {
        QFETCH(QStringList, left);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, kept);
        World w;
        w.settings.set(kParametres, QStringLiteral("couleur"), QStringLiteral("255"));
        w.leave(left);
        QVERIFY(w.settings.save());
        const RecoveryResult r = RecoverOldMessages(w.store, w.settings);
        QVERIFY(!r.failed);
        QTEST(r.text, "text");
        QCOMPARE(r.refreshLists, !rows.isEmpty());
        QCOMPARE(w.rows(), rows);
        SettingsStore reread(w.settings.fileName());
        QVERIFY(reread.section(kListe).isEmpty());
        QCOMPARE(reread.get(kParametres, QStringLiteral("couleur")), QStringLiteral("255"));
        for (const QString& message : left) {
            const QString name = message.section(QLatin1Char('|'), 0, 0);
            QCOMPARE(reread.section(name).isEmpty(), !kept.contains(name));
        }
    }
};

QTEST_GUILESS_MAIN(tst_recovery)
#include "tst_recovery.moc"
