// Message files written by other tools: a key that is not the row's number is refused, the file untouched, the
// fault named; a row breaking a rule of the table opens, and the start-up pass lists it once and leaves it.
#include <sqlite3.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "scheduling/Schedule.h"
#include "store/MessageStore.h"

using namespace tavanote;

namespace {

const QString kColumns = QStringLiteral(
    "titre TEXT CHECK (length(titre) <= 30), message TEXT, datemessage TEXT, heuremessage TEXT, etat TEXT, "
    "periodicite TEXT, prochainaffichage TEXT, dernieraffichage TEXT");

QByteArray makeFile(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql.arg(kColumns).toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    QFile file(path);
    return ok && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class tst_ForeignTables : public QObject {
    Q_OBJECT
private slots:
    void keys_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("detail");  // "ok" when the file opens
        const QString rows = QStringLiteral(" INSERT INTO message (titre) VALUES ('a'), ('b');");
        QTest::newRow("INTEGER PRIMARY KEY DESC")
            << "CREATE TABLE message (id INTEGER PRIMARY KEY DESC, %1);" + rows << "messages sans numéro: 2";
        QTest::newRow("WITHOUT ROWID") << "CREATE TABLE message (id INTEGER PRIMARY KEY, %1) WITHOUT ROWID;"
                                          " INSERT INTO message (id, titre) VALUES (1, 'a');"
                                       << QString();
        QTest::newRow("no key, null and repeated ids")
            << "CREATE TABLE message (id INTEGER, %1); INSERT INTO message (id) VALUES (NULL), (5), (5), (5), (6);"
            << "messages sans numéro: 1, numéros en double: 2";
        QTest::newRow("key named apart, DESC")
            << "CREATE TABLE message (id INTEGER, %1, PRIMARY KEY (id DESC));" + rows << "ok";
    }
    void keys() {
        QFETCH(QString, sql);
        QFETCH(QString, detail);
        QTemporaryDir dir;
        const QString path = MessageStore::pathIn(dir.path());
        const QByteArray before = makeFile(path, sql);
        QVERIFY(!before.isEmpty());
        MessageStore store;
        const StoreOpenResult result = store.open(path);
        if (detail == QLatin1String("ok")) {
            QVERIFY(result.ok() && store.all());
            return;
        }
        QCOMPARE(int(result.fault), int(StoreFault::BadKey));
        QCOMPARE(result.detail, detail);
        const QString text = MessageStore::faultText(result, path);
        QVERIFY2(text.contains(QStringLiteral("n'est pas une clé primaire entière qui numérote ses lignes")),
                 qPrintable(text));
        store.close();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    // An over-long title another tool wrote: the file opens; the pass lists the row once and leaves it as it was.
    void rowBreakingARule() {
        QTemporaryDir dir;
        const QString path = MessageStore::pathIn(dir.path());
        const QString title(31, QChar(0xE9));
        QVERIFY(!makeFile(path, QStringLiteral("CREATE TABLE message (id INTEGER PRIMARY KEY, %1);"
                                               "PRAGMA ignore_check_constraints = ON;"
                                               "INSERT INTO message VALUES (1, '%2', 't', '01/06/2026', '08:00', "
                                               "'actif', '2', '01/06/2026 08:00', '31/12/2026 08:00');")
                                    .arg(QStringLiteral("%1"), title))
                     .isEmpty());
        MessageStore store;
        QVERIFY(store.open(path).ok());
        const StartupPassResult pass =
            runStartupPass(store, Expiry::Delete, naiveInstant(QDate(2026, 6, 5), QTime(9, 0)));
        QCOMPARE(pass.refused, QStringList{title});
        QVERIFY(pass.late.empty() && startupPassReport(pass).endsWith("\n- " + title));
        QCOMPARE(store.find(1)->prochainaffichage, QStringLiteral("01/06/2026 08:00"));
    }
};

QTEST_GUILESS_MAIN(tst_ForeignTables)
#include "tst_foreigntables.moc"
