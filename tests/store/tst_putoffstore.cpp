// The table rappel of the notes put off: made on first use beside an unchanged table message, written with the
// message's state in one transaction, and a malformed one refused at open like a foreign table message.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "store/MessageStore.h"
#include "support/SqlProbe.h"

using namespace tavanote;
using namespace tavanote::test;

class tst_PutOffStore : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = MessageStore::pathIn(m_dir->path());
        QVERIFY(MessageStore::createEmpty(m_path, nullptr));
        query(
            "INSERT INTO message (titre, etat, periodicite, prochainaffichage) VALUES ('Dentiste', 'actif', '2', "
            "'07/12/2026 08:00')");
        m_id = query("SELECT max(id) FROM message").toLongLong();
    }

    void madeOnFirstUseBesideAnUnchangedMessageTable() {
        const QString messageSchema = query("SELECT sql FROM sqlite_master WHERE name = 'message'");
        MessageStore store;
        QVERIFY(store.open(m_path).ok());
        QCOMPARE(store.putOffs()->size(), size_t(0));
        QCOMPARE(store.putOff({m_id, "07/12/2026 08:00", "07/12/2026 08:10", "07/12/2026 08:05"}), StoreWrite::Done);
        QCOMPARE(query("SELECT etat FROM message"), "affiche");
        QCOMPARE(query("SELECT id || ' ' || affichage || ' ' || retour || ' ' || depuis FROM rappel"),
                 QString::number(m_id) + " 07/12/2026 08:00 07/12/2026 08:10 07/12/2026 08:05");
        // Put off again: one row, the new time.
        QCOMPARE(store.putOff({m_id, "07/12/2026 08:00", "07/12/2026 09:10", "07/12/2026 08:10"}), StoreWrite::Done);
        QCOMPARE(store.putOffs()->size(), size_t(1));
        QCOMPARE(store.putOffs()->front().retour, "07/12/2026 09:10");
        QCOMPARE(query("SELECT sql FROM sqlite_master WHERE name = 'message'"), messageSchema);

        // Accepted at open with the table; forgotten with removePutOff.
        MessageStore again;
        QVERIFY(again.open(m_path).ok());
        QVERIFY(again.removePutOff(m_id));
        QCOMPARE(again.putOffs()->size(), size_t(0));
    }

    void writtenWithTheStateInOneTransaction() {
        MessageStore store;
        QVERIFY(store.open(m_path).ok());
        // The message is gone: nothing written, not even the table.
        QCOMPARE(store.putOff({m_id + 1, "07/12/2026 08:00", "07/12/2026 08:10", "07/12/2026 08:05"}),
                 StoreWrite::Gone);
        QCOMPARE(query("SELECT count(*) FROM sqlite_master WHERE name = 'rappel'"), "0");
        // The row refused after the state was written: the state goes back with it.
        query(
            "CREATE TABLE rappel (id INTEGER PRIMARY KEY, affichage TEXT, retour TEXT CHECK (retour <> 'refusé'), "
            "depuis TEXT)");
        QVERIFY(store.open(m_path).ok());
        QCOMPARE(store.putOff({m_id, "07/12/2026 08:00", "refusé", "07/12/2026 08:05"}), StoreWrite::Failed);
        QCOMPARE(query("SELECT etat FROM message"), "actif");
        QCOMPARE(query("SELECT count(*) FROM rappel"), "0");
        QVERIFY(!store.inTransaction());
    }

    void malformedTableRefusedAtOpen_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("ours, with a column more") << "id INTEGER PRIMARY KEY, affichage, retour, depuis, note" << true;
        QTest::newRow("a column missing") << "id INTEGER PRIMARY KEY, affichage, depuis" << false;
        QTest::newRow("id not the row's number") << "id TEXT PRIMARY KEY, affichage, retour, depuis" << false;
        QTest::newRow("no key") << "id INTEGER, affichage, retour, depuis" << false;
        QTest::newRow("a key kept apart") << "id INTEGER PRIMARY KEY DESC, affichage, retour, depuis" << false;
        QTest::newRow("a key of two columns")
            << "id INTEGER, affichage, retour, depuis, PRIMARY KEY (id, retour)" << false;
    }

    void malformedTableRefusedAtOpen() {
        QFETCH(QString, table);
        QFETCH(bool, accepted);
        query("CREATE TABLE rappel (" + table + ")");
        const auto bytes = [this] {
            QFile file(m_path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray before = bytes();
        MessageStore store;
        const StoreOpenResult opened = store.open(m_path);
        QCOMPARE(opened.ok(), accepted);
        if (accepted)
            return;
        QCOMPARE(opened.fault, StoreFault::BadPutOffTable);
        QVERIFY(MessageStore::faultText(opened, m_path).contains("La table des rappels (rappel) n'a pas la forme"));
        QVERIFY(bytes() == before);
    }

private:
    QString query(const QString& sql) {
        const SqlRows rows = SqlProbe(m_path).must(sql);
        return rows.isEmpty() ? QString() : rows.text(0);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    qint64 m_id = 0;
};

QTEST_GUILESS_MAIN(tst_PutOffStore)
#include "tst_putoffstore.moc"
