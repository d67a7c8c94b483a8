#include <QTemporaryDir>
#include <QTest>

#include "main_window/MessageLists.h"
#include "store/MessageStore.h"

using namespace tavanote;

namespace {

// An empty message file in a temporary folder, opened, with a way to add rows as any writer could.
class StoreFile {
public:
    StoreFile() {
        QString error;
        path = MessageStore::pathIn(dir.path());
        if (!MessageStore::createEmpty(path, &error))
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        const StoreOpenResult opened = store.open(path);
        if (!opened.ok())
            QTest::qFail(qPrintable(QStringLiteral("cannot open %1: %2").arg(path, opened.detail)), __FILE__, __LINE__);
    }

    // Null texts are written as SQL NULL; returns the new row's id.
    qint64 insert(const QString& titre, const QString& etat, const QString& periodicite,
                  const QString& message = QStringLiteral("Texte"), const QString& date = QStringLiteral("05/06/2026"),
                  const QString& heure = QStringLiteral("10:00"),
                  const QString& prochain = QStringLiteral("05/06/2026 10:00"),
                  const QString& dernier = QStringLiteral("05/06/2027 10:00")) {
        auto value = [](const QString& text) {
            return text.isNull() ? QStringLiteral("NULL")
                                 : QLatin1Char('\'') + QString(text).replace("'", "''") + QLatin1Char('\'');
        };
        run(QStringLiteral("INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,"
                           "prochainaffichage,dernieraffichage) VALUES (%1,%2,%3,%4,%5,%6,%7,%8)")
                .arg(value(titre), value(message), value(date), value(heure), value(etat), value(periodicite),
                     value(prochain), value(dernier)));
        Recordset rs = run(QStringLiteral("SELECT max(id) AS id FROM message"));
        rs.moveFirst();
        return rs.text(QStringLiteral("id")).toLongLong();
    }

    Recordset run(const QString& statement) {
        Recordset rs = store.run(statement);
        if (!rs.ok())
            QTest::qFail(qPrintable(statement + QStringLiteral(": ") + rs.error()), __FILE__, __LINE__);
        return rs;
    }

    QTemporaryDir dir;
    QString path;
    MessageStore store;
};

QStringList column(const std::vector<ListRow>& list, int c) {
    QStringList texts;
    for (const ListRow& row : list)
        texts << row.cells[static_cast<size_t>(c)];
    return texts;
}

QStringList ids(const std::vector<ListRow>& list) {
    return column(list, kIdColumn);
}

QString id(qint64 value) {
    return QString::number(value);
}

}  // namespace

class tst_MessageLists : public QObject {
    Q_OBJECT
private slots:
    void emptyStoreGivesThreeEmptyLists();
    void failedReadGivesEmptyListsAndItsError();
    void stateChoosesTheList_data();
    void stateChoosesTheList();
    void everyRowLandsInTheListOfItsState();
    void rowsKeepIdOrderAndNumberFromOneInEachList();
    void numberingRestartsAfterEveryLoad();
    void cellsShowTheFieldsTrimmed();
    void nullFieldsShowEmpty();
    void periodicityWordingByCode_data();
    void periodicityWordingByCode();
    void storedCodeChoosesColourCodeAndWording_data();
    void storedCodeChoosesColourCodeAndWording();
    void headersAndWidths();
};

void tst_MessageLists::emptyStoreGivesThreeEmptyLists() {
    StoreFile file;
    QString error;
    const MessageListsData data = loadMessageLists(file.store, &error);
    QVERIFY(error.isEmpty());
    for (int list = 0; list < kListCount; ++list)
        QVERIFY2(data.lists[static_cast<size_t>(list)].empty(), qPrintable(QString::number(list)));
}

void tst_MessageLists::failedReadGivesEmptyListsAndItsError() {
    StoreFile file;
    file.insert(QStringLiteral("Réunion"), QStringLiteral("actif"), QStringLiteral("0"));
    file.store.close();
    QString error;
    const MessageListsData data = loadMessageLists(file.store, &error);
    QVERIFY(!error.isEmpty());
    for (int list = 0; list < kListCount; ++list)
        QVERIFY(data.lists[static_cast<size_t>(list)].empty());
}

void tst_MessageLists::stateChoosesTheList_data() {
    QTest::addColumn<QString>("etat");
    QTest::addColumn<int>("list");
    QTest::newRow("actif") << QStringLiteral("actif") << int(ListActifs);
    QTest::newRow("capital A") << QStringLiteral("Actif") << int(ListActifs);
    QTest::newRow("capitals and blanks") << QStringLiteral(" ACTIF ") << int(ListActifs);
    QTest::newRow("affiche") << QStringLiteral("affiche") << int(ListAffiches);
    QTest::newRow("AFFICHE") << QStringLiteral("AFFICHE") << int(ListAffiches);
    QTest::newRow("errone") << QStringLiteral("errone") << int(ListErrones);
    QTest::newRow("unknown") << QStringLiteral("perdu") << int(ListErrones);
    QTest::newRow("empty") << QString(QLatin1String("")) << int(ListErrones);
    QTest::newRow("null") << QString() << int(ListErrones);
    QTest::newRow("accented") << QStringLiteral("affiché") << int(ListErrones);
}

void tst_MessageLists::stateChoosesTheList() {
    QFETCH(QString, etat);
    QFETCH(int, list);
    QCOMPARE(int(listForState(etat)), list);
}

void tst_MessageLists::everyRowLandsInTheListOfItsState() {
    StoreFile file;
    const qint64 a1 = file.insert(QStringLiteral("a1"), QStringLiteral("Actif"), QStringLiteral("0"));
    const qint64 e1 = file.insert(QStringLiteral("e1"), QStringLiteral("errone"), QStringLiteral("0"));
    const qint64 d1 = file.insert(QStringLiteral("d1"), QStringLiteral("affiche"), QStringLiteral("2"));
    const qint64 u1 = file.insert(QStringLiteral("u1"), QStringLiteral("perdu"), QStringLiteral("3"));
    const qint64 a2 = file.insert(QStringLiteral("a2"), QStringLiteral(" ACTIF "), QStringLiteral("9"));
    const qint64 n1 = file.insert(QStringLiteral("n1"), QString(), QStringLiteral("1"));
    const qint64 a3 = file.insert(QStringLiteral("a3"), QStringLiteral("actif"), QStringLiteral("4"));

    QString error;
    const MessageListsData data = loadMessageLists(file.store, &error);
    QVERIFY(error.isEmpty());
    QCOMPARE(ids(data.lists[ListActifs]), QStringList({id(a1), id(a2), id(a3)}));
    QCOMPARE(ids(data.lists[ListErrones]), QStringList({id(e1), id(u1), id(n1)}));
    QCOMPARE(ids(data.lists[ListAffiches]), QStringList({id(d1)}));
    QCOMPARE(column(data.lists[ListErrones], 1), QStringList({"e1", "u1", "n1"}));
}

void tst_MessageLists::rowsKeepIdOrderAndNumberFromOneInEachList() {
    StoreFile file;
    // Titles out of alphabetical order: the lists follow the ids, nothing sorts them.
    const qint64 z = file.insert(QStringLiteral("Zèbre"), QStringLiteral("actif"), QStringLiteral("0"));
    const qint64 e = file.insert(QStringLiteral("Erreur"), QStringLiteral("errone"), QStringLiteral("0"));
    const qint64 b = file.insert(QStringLiteral("Banque"), QStringLiteral("actif"), QStringLiteral("2"));
    const qint64 m = file.insert(QStringLiteral("Marché"), QStringLiteral("actif"), QStringLiteral("3"));
    const qint64 d = file.insert(QStringLiteral("Dentiste"), QStringLiteral("affiche"), QStringLiteral("0"));
    const qint64 a = file.insert(QStringLiteral("Anniversaire"), QStringLiteral("errone"), QStringLiteral("8"));

    const MessageListsData data = loadMessageLists(file.store);
    QCOMPARE(ids(data.lists[ListActifs]), QStringList({id(z), id(b), id(m)}));
    QCOMPARE(column(data.lists[ListActifs], 0), QStringList({"1", "2", "3"}));
    QCOMPARE(column(data.lists[ListActifs], 1), QStringList({"Zèbre", "Banque", "Marché"}));
    QCOMPARE(ids(data.lists[ListErrones]), QStringList({id(e), id(a)}));
    QCOMPARE(column(data.lists[ListErrones], 0), QStringList({"1", "2"}));
    QCOMPARE(ids(data.lists[ListAffiches]), QStringList({id(d)}));
    QCOMPARE(column(data.lists[ListAffiches], 0), QStringList({"1"}));
}

void tst_MessageLists::numberingRestartsAfterEveryLoad() {
    StoreFile file;
    const qint64 first = file.insert(QStringLiteral("Un"), QStringLiteral("actif"), QStringLiteral("0"));
    const qint64 second = file.insert(QStringLiteral("Deux"), QStringLiteral("actif"), QStringLiteral("0"));
    const qint64 third = file.insert(QStringLiteral("Trois"), QStringLiteral("actif"), QStringLiteral("0"));

    MessageListsData data = loadMessageLists(file.store);
    QCOMPARE(column(data.lists[ListActifs], 0), QStringList({"1", "2", "3"}));

    // A second load over the same rows numbers from 1 again, not from 4.
    data = loadMessageLists(file.store);
    QCOMPARE(column(data.lists[ListActifs], 0), QStringList({"1", "2", "3"}));

    file.run(QStringLiteral("DELETE * FROM message WHERE id = ") + id(first));
    data = loadMessageLists(file.store);
    QCOMPARE(ids(data.lists[ListActifs]), QStringList({id(second), id(third)}));
    QCOMPARE(column(data.lists[ListActifs], 0), QStringList({"1", "2"}));

    const qint64 fourth = file.insert(QStringLiteral("Quatre"), QStringLiteral("actif"), QStringLiteral("0"));
    data = loadMessageLists(file.store);
    QCOMPARE(ids(data.lists[ListActifs]), QStringList({id(second), id(third), id(fourth)}));
    QCOMPARE(column(data.lists[ListActifs], 0), QStringList({"1", "2", "3"}));
}

void tst_MessageLists::cellsShowTheFieldsTrimmed() {
    StoreFile file;
    const qint64 rowId =
        file.insert(QStringLiteral("  Réunion d'équipe  "), QStringLiteral("actif"), QStringLiteral(" 3 "),
                    QStringLiteral("  Salle 2\nétage 3  "), QStringLiteral(" 05/06/2026 "), QStringLiteral(" 14:30 "),
                    QStringLiteral("  12/06/2026 14:30"), QStringLiteral("31/12/2026 14:30  "));

    const MessageListsData data = loadMessageLists(file.store);
    QCOMPARE(data.lists[ListActifs].size(), size_t(1));
    const ListRow& row = data.lists[ListActifs][0];
    const std::array<QString, kListColumns> expected = {
        QStringLiteral("1"),
        QStringLiteral("Réunion d'équipe"),
        QStringLiteral("Salle 2\nétage 3"),
        QStringLiteral("05/06/2026"),
        QStringLiteral("14:30"),
        QStringLiteral("Affiché toutes les semaines"),
        QStringLiteral("12/06/2026 14:30"),
        QStringLiteral("31/12/2026 14:30"),
        QStringLiteral("3"),
        id(rowId),
    };
    for (int c = 0; c < kListColumns; ++c)
        QCOMPARE(row.cells[static_cast<size_t>(c)], expected[static_cast<size_t>(c)]);
    QCOMPARE(row.code, 3);
}

void tst_MessageLists::nullFieldsShowEmpty() {
    StoreFile file;
    file.insert(QStringLiteral("Démarrage"), QStringLiteral("actif"), QStringLiteral("9"), QString(), QString(),
                QString(), QString(), QString());
    file.insert(QString(), QStringLiteral("actif"), QString(), QStringLiteral("Sans titre"));

    const MessageListsData data = loadMessageLists(file.store);
    QCOMPARE(data.lists[ListActifs].size(), size_t(2));
    const ListRow& startup = data.lists[ListActifs][0];
    QCOMPARE(startup.cells[1], QStringLiteral("Démarrage"));
    for (int c : {2, 3, 4, 6, 7})
        QVERIFY2(startup.cells[static_cast<size_t>(c)].isEmpty(), qPrintable(QString::number(c)));
    QCOMPARE(startup.cells[5], QStringLiteral("Affiché au démarrage"));

    // A Null title and a Null code: an empty title, and the code reads as 0.
    const ListRow& untitled = data.lists[ListActifs][1];
    QVERIFY(untitled.cells[1].isEmpty());
    QCOMPARE(untitled.cells[2], QStringLiteral("Sans titre"));
    QCOMPARE(untitled.code, 0);
    QCOMPARE(untitled.cells[5], QStringLiteral("Affiché une seule fois"));
    QVERIFY(untitled.cells[8].isEmpty());
}

void tst_MessageLists::periodicityWordingByCode_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("wording");
    QTest::newRow("0") << 0 << QStringLiteral("Affiché une seule fois");
    QTest::newRow("1") << 1 << QStringLiteral("Affiché toutes les heures");
    QTest::newRow("2") << 2 << QStringLiteral("Affiché tous les jours");
    QTest::newRow("3") << 3 << QStringLiteral("Affiché toutes les semaines");
    QTest::newRow("4") << 4 << QStringLiteral("Affiché tous les mois");
    QTest::newRow("5") << 5 << QStringLiteral("Affiché tous les bimestres");
    QTest::newRow("6") << 6 << QStringLiteral("Affiché tous les trimestres");
    QTest::newRow("7") << 7 << QStringLiteral("Affiché tous les semestres");
    QTest::newRow("8") << 8 << QStringLiteral("Affiché tous les ans");
    QTest::newRow("9") << 9 << QStringLiteral("Affiché au démarrage");
    QTest::newRow("10") << 10 << QStringLiteral("Périodicité inconnue");
    QTest::newRow("12") << 12 << QStringLiteral("Périodicité inconnue");
    QTest::newRow("-1") << -1 << QStringLiteral("Périodicité inconnue");
}

void tst_MessageLists::periodicityWordingByCode() {
    QFETCH(int, code);
    QFETCH(QString, wording);
    QCOMPARE(periodicityWording(code), wording);
}

void tst_MessageLists::storedCodeChoosesColourCodeAndWording_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("known");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("wording");
    QTest::newRow("0") << QStringLiteral("0") << true << 0 << QStringLiteral("Affiché une seule fois");
    QTest::newRow("3") << QStringLiteral("3") << true << 3 << QStringLiteral("Affiché toutes les semaines");
    QTest::newRow("9") << QStringLiteral("9") << true << 9 << QStringLiteral("Affiché au démarrage");
    QTest::newRow("letter reads as 0") << QStringLiteral("x") << true << 0 << QStringLiteral("Affiché une seule fois");
    QTest::newRow("leading digit") << QStringLiteral("4x") << true << 4 << QStringLiteral("Affiché tous les mois");
    QTest::newRow("12") << QStringLiteral("12") << false << -1 << QStringLiteral("Périodicité inconnue");
    QTest::newRow("10") << QStringLiteral("10") << false << -1 << QStringLiteral("Périodicité inconnue");
}

void tst_MessageLists::storedCodeChoosesColourCodeAndWording() {
    QFETCH(QString, stored);
    QFETCH(bool, known);
    QFETCH(int, code);
    QFETCH(QString, wording);
    StoreFile file;
    file.insert(QStringLiteral("Code"), QStringLiteral("actif"), stored);

    const MessageListsData data = loadMessageLists(file.store);
    QCOMPARE(data.lists[ListActifs].size(), size_t(1));
    const ListRow& row = data.lists[ListActifs][0];
    if (known)
        QCOMPARE(row.code, code);
    else
        QVERIFY2(row.code < 0 || row.code > 9, qPrintable(QString::number(row.code)));
    QCOMPARE(row.cells[5], wording);
    QCOMPARE(row.cells[8], stored);
}

void tst_MessageLists::headersAndWidths() {
    QCOMPARE(listHeaders()[0], QStringLiteral("No"));
    QCOMPARE(listHeaders()[1], QStringLiteral("Titre"));
    QCOMPARE(listHeaders()[2], QStringLiteral("Texte"));
    QCOMPARE(listHeaders()[3], QStringLiteral("Date"));
    QCOMPARE(listHeaders()[4], QStringLiteral("Heure"));
    QCOMPARE(listHeaders()[5], QStringLiteral("periodicité"));
    QCOMPARE(listHeaders()[6], QStringLiteral("Prochain affichage"));
    QCOMPARE(listHeaders()[7], QStringLiteral("Dernier affichage"));
    QCOMPARE(listHeaders()[8], QStringLiteral("Indice periode"));
    QCOMPARE(listHeaders()[9], QStringLiteral("id"));
    const std::array<int, kListColumns> widths = {400, 1500, 2500, 1200, 1000, 2700, 1800, 1800, 0, 0};
    QCOMPARE(listColumnWidths(), widths);
}

QTEST_GUILESS_MAIN(tst_MessageLists)
#include "tst_messagelists.moc"
