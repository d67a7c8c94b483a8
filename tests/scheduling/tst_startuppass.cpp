// How the start-up pass runs when the file is busy, full or refuses a row: all of it or none of it, and the
// user told why.
#include <sqlite3.h>

#include <QTest>
#include <chrono>
#include <future>
#include <thread>

#include "StoreFixture.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kNow = QStringLiteral("12/03/2026 09:15");

// Three overdue messages already marked "errone" (so none opens late): two periodic ones and one shown once.
struct Overdue {
    explicit Overdue(StoreFixture& f)
        : daily(f.insert("Courrier", "errone", "2", "10/03/2026 08:00", "31/12/2026 08:00")),
          weekly(f.insert("Piscine", "errone", "3", "05/03/2026 18:30", "31/12/2026 18:30")),
          once(f.insert("Dentiste", "errone", "0", "11/03/2026 09:00", QString())) {}
    qint64 daily, weekly, once;
};

QString rows(StoreFixture& f, const Overdue& o) {
    return QStringList{f.row(o.daily), f.row(o.weekly), f.row(o.once)}.join(QStringLiteral(" | "));
}

const QString kUntouched =
    QStringLiteral("errone 10/03/2026 08:00 | errone 05/03/2026 18:30 | errone 11/03/2026 09:00");
const QString kStepped = QStringLiteral("errone 13/03/2026 08:00 | errone 12/03/2026 18:30 | gone");

}  // namespace

class tst_StartupPass : public QObject {
    Q_OBJECT
private slots:
    void failures_data() {
        QTest::addColumn<int>("holdMs");  // how long another program keeps its write lock; -1: all along
        QTest::addColumn<int>("sqlite");  // a failure of every write, 0: none
        QTest::addColumn<QString>("told");
        QTest::newRow("other writer lets go within the wait") << 300 << 0 << QString();
        QTest::newRow("other writer keeps it") << -1 << 0 << "Le fichier est utilisé par un autre programme";
        QTest::newRow("disk full") << 0 << SQLITE_FULL << "Le disque est plein";
    }

    // The pass waits a moment for another writer; when it still cannot write, it changes nothing and says so, and
    // the next start brings the rows up to date.
    void failures() {
        QFETCH(int, holdMs);
        QFETCH(int, sqlite);
        QFETCH(QString, told);
        StoreFixture f;
        const Overdue o(f);
        std::promise<void> locked;
        std::promise<void> done;
        std::thread other([&] {
            test::SqlProbe db(MessageStore::pathIn(f.dir.path()));
            db.must(QStringLiteral("BEGIN IMMEDIATE"));
            locked.set_value();
            if (holdMs >= 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
            else
                done.get_future().wait();
            db.must(QStringLiteral("COMMIT"));
        });
        locked.get_future().wait();
        if (holdMs == 0)
            other.join();
        f.store.failWritesWith(sqlite);
        const StartupPassResult result = runStartupPass(f.store, f.expiry, at(kNow));
        if (holdMs < 0)
            done.set_value();
        if (other.joinable())
            other.join();
        const QString report = startupPassReport(result);
        if (told.isEmpty()) {
            QVERIFY(result.error.ok() && report.isEmpty());
            QCOMPARE(rows(f, o), kStepped);
            return;
        }
        QCOMPARE(result.stepped + result.expired, 0);
        QCOMPARE(rows(f, o), kUntouched);
        QVERIFY2(report.startsWith(
                     QStringLiteral("Les messages dont l'heure d'affichage est passée n'ont pas pu être mis à jour: "
                                    "aucun message n'a été modifié.\nIls le seront au prochain démarrage du "
                                    "programme.\n\n") +
                     told),
                 qPrintable(report));
        f.store.failWritesWith(0);
        QVERIFY(runStartupPass(f.store, f.expiry, at(kNow)).error.ok());
        QCOMPARE(rows(f, o), kStepped);
    }

    // A row the file refuses stays as it is and is listed; so does a title over 30 characters written by another
    // tool, which the file would refuse to write whole.
    void refusedRowIsSkippedAndListed() {
        StoreFixture f;
        const Overdue o(f);
        test::SqlProbe tool(MessageStore::pathIn(f.dir.path()));
        tool.must(QStringLiteral("PRAGMA ignore_check_constraints = 1"));
        tool.must(
            QStringLiteral("INSERT INTO message (titre, etat, periodicite, prochainaffichage, dernieraffichage) "
                           "VALUES ('Un titre écrit par un autre outil, bien trop long', 'errone', '2', "
                           "'10/03/2026 10:00', '31/12/2026 10:00')"));
        const qint64 tooLong = f.query(QStringLiteral("SELECT max(id) FROM message")).toLongLong();
        const qint64 guarded = f.insert("Gardé", "errone", "0", "10/03/2026 11:00", QString());
        f.query(
            QStringLiteral("CREATE TRIGGER garde BEFORE DELETE ON message WHEN old.titre = 'Gardé' "
                           "BEGIN SELECT RAISE(ABORT, 'ligne protégée'); END"));
        const StartupPassResult result = runStartupPass(f.store, f.expiry, at(kNow));
        QVERIFY(result.error.ok());
        QCOMPARE(rows(f, o), kStepped);
        QCOMPARE(f.row(tooLong), QStringLiteral("errone 10/03/2026 10:00"));
        QCOMPARE(f.row(guarded), QStringLiteral("errone 10/03/2026 11:00"));
        QCOMPARE(result.refused, QStringList({"Un titre écrit par un autre outil, bien trop long", "Gardé"}));
        QCOMPARE(startupPassReport(result),
                 QStringLiteral("Les messages suivants n'ont pas pu être mis à jour: le fichier les refuse tels "
                                "qu'ils sont.\nIls restent inchangés; modifiez-les ou supprimez-les.\n\n- Un titre "
                                "écrit par un autre outil, bien trop long\n- Gardé"));
    }
};

QTEST_GUILESS_MAIN(tst_StartupPass)
#include "tst_startuppass.moc"
