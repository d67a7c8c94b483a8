// What other tools wrote: a message table whose key is not the row's number is refused, the file untouched and
// the fault named, while a row breaking a rule of the table is no damage; a program path holding a control
// character writes no start-up entry (a line break would add an Exec line) and leaves the old one as it was.
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/Autostart.h"
#include "store/MessageStore.h"

using namespace tavanote;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class tst_ForeignFiles : public QObject {
    Q_OBJECT
private slots:
    void messageTables_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("detail");  // "ok" when the file opens
        const QString two = QStringLiteral(" INSERT INTO message (titre) VALUES ('a'), ('b');");
        QTest::newRow("DESC key") << "CREATE TABLE message (id INTEGER PRIMARY KEY DESC, %1);" + two
                                  << "messages sans numéro: 2";
        QTest::newRow("WITHOUT ROWID") << "CREATE TABLE message (id INTEGER PRIMARY KEY, %1) WITHOUT ROWID;"
                                       << "";
        QTest::newRow("null and repeated ids")
            << "CREATE TABLE message (id INTEGER, %1); INSERT INTO message (id) VALUES (NULL), (5), (5), (5), (6);"
            << "messages sans numéro: 1, numéros en double: 2";
        QTest::newRow("DESC in a table constraint")
            << "CREATE TABLE message (id INTEGER, %1, PRIMARY KEY (id DESC));" + two << "ok";
        QTest::newRow("title over 30 characters")
            << "CREATE TABLE message (id INTEGER PRIMARY KEY, %1); PRAGMA ignore_check_constraints = 1; INSERT INTO "
               "message (titre) VALUES ('Un titre écrit par un autre outil, bien trop long');"
            << "ok";
    }
    void messageTables() {
        QFETCH(QString, sql);
        QFETCH(QString, detail);
        QTemporaryDir dir;
        const QString path = MessageStore::pathIn(dir.path());
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        const QString columns = QStringLiteral(
            "titre TEXT CHECK (length(titre) <= 30), message TEXT, datemessage TEXT, heuremessage TEXT, etat TEXT, "
            "periodicite TEXT, prochainaffichage TEXT, dernieraffichage TEXT");
        const int rc = sqlite3_exec(db, sql.arg(columns).toUtf8().constData(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QCOMPARE(rc, SQLITE_OK);
        const QByteArray before = contents(path);
        MessageStore store;
        const StoreOpenResult result = store.open(path);
        if (detail == QLatin1String("ok")) {
            QVERIFY(result.ok() && store.all());
            return;
        }
        QCOMPARE(int(result.fault), int(StoreFault::BadKey));
        QCOMPARE(result.detail, detail);
        QVERIFY(MessageStore::faultText(result, path).contains("n'est pas une clé primaire entière qui numérote"));
        store.close();
        QCOMPARE(contents(path), before);
    }

    void startupEntry() {
        QTemporaryDir dir;
        const QString entry = dir.filePath("autostart/Tavanote.desktop");
        const QByteArray old("[Desktop Entry]\nExec=/opt/ancien\n");
        for (const auto& [path, bytes] :
             {std::pair(entry, old), std::pair(dir.filePath("a\nExec=touch pris/tavanote"), old)}) {
            QFile file(path);
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(bytes), bytes.size());
        }
        Autostart autostart(entry, dir.filePath("a\nExec=touch pris/tavanote"));
        QCOMPARE(autostart.apply(1), Autostart::Outcome::Failed);
        QVERIFY2(autostart.failure().contains("caractère de contrôle") &&
                     autostart.failure().contains(dir.path() + "/a\\nExec=touch pris/tavanote"),
                 qPrintable(autostart.failure()));
        QCOMPARE(contents(entry), old);
        QCOMPARE(QDir(dir.filePath("autostart")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Tavanote.desktop"});
    }
};

QTEST_GUILESS_MAIN(tst_ForeignFiles)
#include "tst_foreignfiles.moc"
