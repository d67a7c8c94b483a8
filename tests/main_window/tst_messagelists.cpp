#include <QTest>

#include "main_window/MessageLists.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// One row with ordinary dates; returns its id as text.
QString add(TestWorld& w, const QString& titre, const QString& etat, const QString& code = QStringLiteral("0")) {
    return QString::number(w.insert(titre, QStringLiteral("Texte"), QStringLiteral("05/06/2026"),
                                    QStringLiteral("10:00"), etat, code, QStringLiteral("05/06/2026 10:00"),
                                    QStringLiteral("05/06/2027 10:00")));
}

MessageListsData load(TestWorld& w) {
    QString error;
    w.openStore();
    MessageListsData data = loadMessageLists(w.store, &error);
    if (!error.isEmpty())
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
    return data;
}

QStringList column(const MessageListsData& data, int list, int c) {
    QStringList texts;
    for (const ListRow& row : data.lists[static_cast<size_t>(list)])
        texts << row.cells[static_cast<size_t>(c)];
    return texts;
}

QString joined(const std::array<QString, kListColumns>& cells) {
    return QStringList(cells.begin(), cells.end()).join(QLatin1Char('|'));
}

}  // namespace

class tst_MessageLists : public QObject {
    Q_OBJECT
private slots:
    void emptyOrUnreadableStoreGivesEmptyLists();
    void stateChoosesTheList_data();
    void stateChoosesTheList();
    void rowsFollowIdsAndNumberFromOnePerListAndLoad();
    void cellsShowFieldsTrimmedOrEmpty();
    void periodicityWording();
    void headersAndWidths();
};

void tst_MessageLists::emptyOrUnreadableStoreGivesEmptyLists() {
    TestWorld w;
    for (const std::vector<ListRow>& list : load(w).lists)
        QVERIFY(list.empty());
    add(w, QStringLiteral("Réunion"), QStringLiteral("actif"));
    w.store.close();
    QString error;
    const MessageListsData data = loadMessageLists(w.store, &error);
    QVERIFY(!error.isEmpty());
    for (const std::vector<ListRow>& list : data.lists)
        QVERIFY(list.empty());
}

void tst_MessageLists::stateChoosesTheList_data() {
    QTest::addColumn<QString>("etat");
    QTest::addColumn<int>("list");
    QTest::newRow("capitals and blanks") << QStringLiteral(" ACTIF ") << int(ListActifs);
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

void tst_MessageLists::rowsFollowIdsAndNumberFromOnePerListAndLoad() {
    TestWorld w;
    // Titles out of alphabetical order: the lists follow the ids, nothing sorts them.
    const QString z = add(w, QStringLiteral("Zèbre"), QStringLiteral("Actif"));
    const QString e = add(w, QStringLiteral("Erreur"), QStringLiteral("errone"));
    const QString b = add(w, QStringLiteral("Banque"), QStringLiteral(" ACTIF "));
    const QString d = add(w, QStringLiteral("Dentiste"), QStringLiteral("affiche"));
    const QString u = add(w, QStringLiteral("Perdu"), QStringLiteral("perdu"));
    const QString n = add(w, QStringLiteral("Sans état"), QString());
    const QString m = add(w, QStringLiteral("Marché"), QStringLiteral("actif"));

    for (int pass = 0; pass < 2; ++pass) {  // a second load numbers from 1 again
        const MessageListsData data = load(w);
        QCOMPARE(column(data, ListActifs, kIdColumn), QStringList({z, b, m}));
        QCOMPARE(column(data, ListActifs, 0), QStringList({"1", "2", "3"}));
        QCOMPARE(column(data, ListErrones, kIdColumn), QStringList({e, u, n}));
        QCOMPARE(column(data, ListErrones, 0), QStringList({"1", "2", "3"}));
        QCOMPARE(column(data, ListAffiches, kIdColumn), QStringList({d}));
        QCOMPARE(column(data, ListAffiches, 0), QStringList({"1"}));
    }
    w.sql(QStringLiteral("DELETE * FROM message WHERE id = ") + z);
    const MessageListsData data = load(w);
    QCOMPARE(column(data, ListActifs, 1), QStringList({"Banque", "Marché"}));
    QCOMPARE(column(data, ListActifs, 0), QStringList({"1", "2"}));
}

void tst_MessageLists::cellsShowFieldsTrimmedOrEmpty() {
    TestWorld w;
    const qint64 padded =
        w.insert(QStringLiteral("  Réunion d'équipe  "), QStringLiteral("  Salle 2\nétage 3  "),
                 QStringLiteral(" 05/06/2026 "), QStringLiteral(" 14:30 "), QStringLiteral("actif"),
                 QStringLiteral(" 3 "), QStringLiteral("  12/06/2026 14:30"), QStringLiteral("31/12/2026 14:30  "));
    w.insert(QString(), QString(), QString(), QString(), QStringLiteral("actif"), QString(), QString(), QString());
    // A Null code reads as 0, a letter as 0, a leading digit as its code, 10 and above as no code.
    add(w, QStringLiteral("x"), QStringLiteral("actif"), QStringLiteral("x"));
    add(w, QStringLiteral("4x"), QStringLiteral("actif"), QStringLiteral("4x"));
    add(w, QStringLiteral("12"), QStringLiteral("actif"), QStringLiteral("12"));

    const MessageListsData data = load(w);
    const std::vector<ListRow>& rows = data.lists[ListActifs];
    QCOMPARE(rows.size(), size_t(5));
    QCOMPARE(joined(rows[0].cells), QStringLiteral("1|Réunion d'équipe|Salle 2\nétage 3|05/06/2026|14:30|Affiché "
                                                   "toutes les semaines|12/06/2026 14:30|31/12/2026 14:30|3|") +
                                        QString::number(padded));
    QCOMPARE(joined(rows[1].cells).section('|', 0, 8), QStringLiteral("2|||||Affiché une seule fois|||"));
    QCOMPARE(rows[0].code, 3);
    QCOMPARE(rows[1].code, 0);
    QCOMPARE(rows[2].code, 0);
    QCOMPARE(rows[3].code, 4);
    QCOMPARE(rows[3].cells[5], QStringLiteral("Affiché tous les mois"));
    QVERIFY2(rows[4].code < 0 || rows[4].code > 9, qPrintable(QString::number(rows[4].code)));
    QCOMPARE(rows[4].cells[5], QStringLiteral("Périodicité inconnue"));
    QCOMPARE(rows[4].cells[8], QStringLiteral("12"));
}

void tst_MessageLists::periodicityWording() {
    const QStringList wordings = {"une seule fois", "toutes les heures",  "tous les jours",      "toutes les semaines",
                                  "tous les mois",  "tous les bimestres", "tous les trimestres", "tous les semestres",
                                  "tous les ans",   "au démarrage"};
    for (int code = 0; code < 10; ++code)
        QCOMPARE(tavanote::periodicityWording(code), QStringLiteral("Affiché ") + wordings[code]);
    for (int code : {-1, 10, 12})
        QCOMPARE(tavanote::periodicityWording(code), QStringLiteral("Périodicité inconnue"));
}

void tst_MessageLists::headersAndWidths() {
    QCOMPARE(joined(listHeaders()), QStringLiteral("No|Titre|Texte|Date|Heure|periodicité|Prochain affichage|"
                                                   "Dernier affichage|Indice periode|id"));
    const std::array<int, kListColumns> widths = {400, 1500, 2500, 1200, 1000, 2700, 1800, 1800, 0, 0};
    QCOMPARE(listColumnWidths(), widths);
}

QTEST_GUILESS_MAIN(tst_MessageLists)
#include "tst_messagelists.moc"
