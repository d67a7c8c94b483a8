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

// Each row of a list as "No:id".
QStringList numbered(const MessageListsData& data, int list) {
    QStringList texts;
    for (const ListRow& row : data.lists[static_cast<size_t>(list)])
        texts << row.cells[0] + QLatin1Char(':') + row.cells[kIdColumn];
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
    void stateChoosesTheList();
    void rowsFollowIdsAndNumberFromOnePerListAndLoad();
    void cellsShowFieldsTrimmedOrEmpty();
    void wordingsHeadersAndWidths();
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

void tst_MessageLists::stateChoosesTheList() {
    const std::pair<QString, ListIndex> cases[] = {
        {" ACTIF ", ListActifs}, {"AFFICHE", ListAffiches}, {"errone", ListErrones}, {"perdu", ListErrones},
        {"", ListErrones},       {QString(), ListErrones},  {"affiché", ListErrones}};
    for (const auto& [etat, list] : cases)
        QVERIFY2(listForState(etat) == list, qPrintable(etat));
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
        QCOMPARE(numbered(data, ListActifs), QStringList({"1:" + z, "2:" + b, "3:" + m}));
        QCOMPARE(numbered(data, ListErrones), QStringList({"1:" + e, "2:" + u, "3:" + n}));
        QCOMPARE(numbered(data, ListAffiches), QStringList({"1:" + d}));
    }
    w.sql(QStringLiteral("DELETE FROM message WHERE id = ") + z);
    QCOMPARE(numbered(load(w), ListActifs), QStringList({"1:" + b, "2:" + m}));
}

void tst_MessageLists::cellsShowFieldsTrimmedOrEmpty() {
    TestWorld w;
    const qint64 padded =
        w.insert(QStringLiteral("  Réunion d'équipe  "), QStringLiteral("  Salle 2\nétage 3  "),
                 QStringLiteral(" 05/06/2026 "), QStringLiteral(" 14:30 "), QStringLiteral("actif"),
                 QStringLiteral(" 3 "), QStringLiteral("  12/06/2026 14:30"), QStringLiteral("31/12/2026 14:30  "));
    w.insert(QString(), QString(), QString(), QString(), QStringLiteral("actif"), QString(), QString(), QString());
    // A Null code reads as 0, a letter as 0, a leading digit as its code, 10 and above as no code.
    for (const char* code : {"x", "4x", "12"})
        add(w, code, QStringLiteral("actif"), code);

    const MessageListsData data = load(w);
    const std::vector<ListRow>& rows = data.lists[ListActifs];
    QCOMPARE(rows.size(), size_t(5));
    QCOMPARE(joined(rows[0].cells), QStringLiteral("1|Réunion d'équipe|Salle 2\nétage 3|05/06/2026|14:30|Affiché "
                                                   "toutes les semaines|12/06/2026 14:30|31/12/2026 14:30|3|") +
                                        QString::number(padded));
    QCOMPARE(joined(rows[1].cells).section('|', 0, 8), QStringLiteral("2|||||Affiché une seule fois|||"));
    QCOMPARE(QList<int>({rows[0].code, rows[1].code, rows[2].code, rows[3].code}), QList<int>({3, 0, 0, 4}));
    QVERIFY2(rows[4].code < 0 || rows[4].code > 9, qPrintable(QString::number(rows[4].code)));
    QCOMPARE(rows[4].cells[5], QStringLiteral("Périodicité inconnue"));
    QCOMPARE(rows[4].cells[8], QStringLiteral("12"));
}

void tst_MessageLists::wordingsHeadersAndWidths() {
    const QStringList wordings = {"une seule fois", "toutes les heures",  "tous les jours",      "toutes les semaines",
                                  "tous les mois",  "tous les bimestres", "tous les trimestres", "tous les semestres",
                                  "tous les ans",   "au démarrage"};
    for (int code = 0; code < 10; ++code)
        QCOMPARE(tavanote::periodicityWording(code), QStringLiteral("Affiché ") + wordings[code]);
    for (int code : {-1, 10, 12})
        QCOMPARE(tavanote::periodicityWording(code), QStringLiteral("Périodicité inconnue"));
    QCOMPARE(joined(listHeaders()), QStringLiteral("No|Titre|Texte|Date|Heure|periodicité|Prochain affichage|"
                                                   "Dernier affichage|Indice periode|id"));
    const std::array<int, kListColumns> widths = {400, 1500, 2500, 1200, 1000, 2700, 1800, 1800, 0, 0};
    QCOMPARE(listColumnWidths(), widths);
}

QTEST_GUILESS_MAIN(tst_MessageLists)
#include "tst_messagelists.moc"
