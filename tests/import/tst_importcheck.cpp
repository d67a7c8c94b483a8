#include <QTest>

#include "import/DelimitedReader.h"
#include "import/ImportCheck.h"

using namespace tavanote;

namespace {

const QString kHeaders =
    QStringLiteral("titre;message;datemessage;heuremessage;etat;periodicite;prochainaffichage;dernieraffichage");
const QString kGoodRow = QStringLiteral("Réunion;Salle 2;05/12/2026;14:00;actif;2;05/12/2026 14:00;31/12/2026 14:00");

// A grid read from lines joined by line ends, the first line naming the columns.
ImportGrid gridOf(const QStringList& lines) {
    DelimitedRead read = readDelimited(lines.join(QLatin1Char('\n')), {QStringLiteral(";"), {}, true});
    return read.grid;
}

// The good row with one field replaced.
QString rowWith(int field, const QString& value) {
    QStringList cells = kGoodRow.split(QLatin1Char(';'));
    cells[field] = value;
    return cells.join(QLatin1Char(';'));
}

QString cellRefusal(const char* header, const char* middle, int line, const QString& end) {
    return QStringLiteral("Importation impossible:\nLe champ [") + QString::fromUtf8(header) +
           QStringLiteral("] contient une donnée ") + QString::fromUtf8(middle) + QStringLiteral(" à la ligne ") +
           QString::number(line) + end +
           QStringLiteral(" pour pouvoir importer les données dans la base de données du programme.");
}

QStringList titles(const ImportGrid& grid) {
    QStringList list;
    for (int r = 1; r < grid.rowCount(); ++r)
        list << grid.cell(r, 0) + QLatin1Char(':') + grid.cell(r, 1);
    return list;
}

}  // namespace

class tst_importcheck : public QObject {
    Q_OBJECT
private slots:
    void refusals_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("hidden");  // a column to delete first, or 0
        QTest::addColumn<QString>("text");
        const QString columns = QStringLiteral(
            "Importation impossible:\nLe nombre de colonnes est différent du nombre de champs (8 au total).\nVous "
            "devez ajouter ou supprimer une ou des colonnes.\nPour de plus amples informations, consultez l'aide en "
            "appuyant sur la touche F1 de votre clavier.");
        const QString sameName = QStringLiteral(
            "Importation impossible:\nDeux colonnes (5 et 2) possedent le même nom.\nVous devez changer le nom du "
            "champ avec le nom correspondant\ndans la liste (modification des données).");
        const QString twoTitles = QStringLiteral(
            "message;titre;datemessage;heuremessage;titre;periodicite;prochainaffichage;dernieraffichage");
        QString swapped = kHeaders;
        swapped.replace(QStringLiteral("titre;message"), QStringLiteral("message;titre"));
        const QString dateEnd =
            QStringLiteral(". La date du message est obligatoire et doit être au format JJ/MM/AAAA");

        QTest::newRow("header row only") << QStringList{kHeaders} << 0
                                         << "Importation impossible:\nAucunes données à importer n'ont été trouvées.";
        QTest::newRow("a column hidden") << QStringList{kHeaders, kGoodRow} << 3 << columns;
        QTest::newRow("two visible titles") << QStringList{twoTitles, kGoodRow} << 0 << sameName;
        QTest::newRow("hidden title beside a visible one")
            << QStringList{twoTitles + QStringLiteral(";etat"),
                           QStringLiteral("Salle 2;x;05/12/2026;14:00;Réunion;2;05/12/2026 14:00;31/12/2026 14:00;")}
            << 2 << "<accepted>";
        QTest::newRow("no title") << QStringList{QString(kHeaders).replace(QStringLiteral("titre;"),
                                                                           QStringLiteral("Titre ;")),
                                                 kGoodRow}
                                  << 0
                                  << "Importation impossible:\nLe champ [titre] n'a pas été identifié. Celui-ci est "
                                     "obligatoire pour pouvoir importer les données\ndans la base de données pour le "
                                     "carnet d'adresses.";
        QTest::newRow("empty name")
            << QStringList{QString(kHeaders).replace(QStringLiteral("etat"), QStringLiteral(" ")), kGoodRow} << 0
            << "Importation impossible:\nLe champ de la colonne 5 n'a pas été identifié. "
               "Celui-ci est obligatoire pour pouvoir importer les données\ndans la base de "
               "données pour le carnet d'adresses.";
        QTest::newRow("unknown name")
            << QStringList{QString(kHeaders).replace(QStringLiteral("etat"), QStringLiteral("Statut")), kGoodRow} << 0
            << "Importation impossible:\nLe champ de la colonne 5 n'a pas un nom valide "
               "(Statut).\nVous devez changer le nom du champ avec le nom "
               "correspondant\ndans la liste (mappage des champs).";
        QTest::newRow("title of 30 and a blank")
            << QStringList{kHeaders, rowWith(0, QString(30, QLatin1Char('t')) + QLatin1Char(' '))} << 0
            << cellRefusal("titre", "non valide", 1,
                           ". Celle-ci doit être un titre de message valide de 30 caractères maximum");
        QTest::newRow("title column not first")
            << QStringList{swapped, rowWith(1, QStringLiteral(" "))} << 0
            << cellRefusal("titre", "vide", 1, ". Le titre du message est obligatoire");
        QTest::newRow("date not a day") << QStringList{kHeaders, kGoodRow, rowWith(2, QStringLiteral("31/04/2026"))}
                                        << 0 << cellRefusal("datemessage", "invalide", 2, dateEnd);
        QTest::newRow("date empty") << QStringList{kHeaders, rowWith(2, QStringLiteral("  "))} << 0
                                    << cellRefusal("datemessage", "vide", 1, dateEnd);
        QTest::newRow("state with a capital") << QStringList{kHeaders, rowWith(4, QStringLiteral("Actif"))} << 0
                                              << cellRefusal("etat", "non valide", 1,
                                                             ". Celle-ci doit être un etat de message valide ('actif' "
                                                             "ou 'errone')");
        QTest::newRow("daily without its last display")
            << QStringList{kHeaders, kGoodRow, kGoodRow, rowWith(7, QString())} << 0
            << cellRefusal("dernieraffichage", "vide", 3,
                           ". La date de dernier affichage du message est obligatoire et doit être au format "
                           "JJ/MM/AAAA HH:MM");
        QTest::newRow("next display malformed") << QStringList{kHeaders, rowWith(6, QStringLiteral("05/12/2026"))} << 0
                                                << cellRefusal("prochainaffichage", "non valide", 1,
                                                               ". Celle-ci doit être une date de prochain affichage du "
                                                               "message valide au format JJ/MM/AAAA HH:MM");
        const QString periodicity =
            QStringLiteral(". Celle-ci doit être une periodicité de message valide (entre 0 et 8)");
        // Only one digit, blanks around it allowed, is a periodicity: anything else would reach the store.
        for (const QString& cell : {QStringLiteral("2,'x','y','01/01/2030','10:00','actif',0,'',''),('z"), QString(),
                                    QStringLiteral("10"), QStringLiteral("-1"), QStringLiteral("٣")})
            QTest::addRow("periodicity \"%s\"", qPrintable(cell))
                << QStringList{kHeaders, kGoodRow, rowWith(5, cell)} << 0
                << cellRefusal("periodicite", "non valide", 2, periodicity);
        QTest::newRow("at start with no dates")
            << QStringList{kHeaders, QStringLiteral("a;b;;;;9;;")} << 0 << "<accepted>";
    }

    void refusals() {
        QFETCH(QStringList, lines);
        QFETCH(int, hidden);
        QFETCH(QString, text);
        ImportGrid grid = gridOf(lines);
        if (hidden)
            grid.hideColumn(hidden);
        QCOMPARE(checkImportGrid(grid).value_or(QStringLiteral("<accepted>")), text);
    }

    // What is stored: trimmed fields, the cells a periodicity makes meaningless rewritten, "actif" for no state.
    void importedRows() {
        ImportGrid grid = gridOf({kHeaders, QStringLiteral(" L'été ; Salle 2 ;05/12/2026; 14:00 ;;0;x;y"),
                                  QStringLiteral("b;t;31/02/2026;99:99;errone; 9 ;x;y"),
                                  rowWith(0, QString(30, QLatin1Char('t'))).replace(";2;", "; 8 ;")});
        QCOMPARE(checkImportGrid(grid), std::nullopt);
        const MessageList messages = importedMessages(grid);
        QCOMPARE(messages.size(), size_t(3));
        const Message& once = messages[0];
        QCOMPARE(QStringList({once.titre, once.message, once.datemessage, once.heuremessage, once.etat,
                              once.periodicite, once.prochainaffichage, once.dernieraffichage}),
                 QStringList({"L'été", "Salle 2", "05/12/2026", "14:00", "actif", "0", "05/12/2026 14:00", ""}));
        const Message& atStart = messages[1];
        QCOMPARE(QStringList({atStart.datemessage, atStart.heuremessage, atStart.etat, atStart.periodicite,
                              atStart.prochainaffichage, atStart.dernieraffichage}),
                 QStringList({"", "", "errone", "9", "", ""}));
        QCOMPARE(grid.cell(2, 3), QString());  // the grid keeps the emptied cells
        QCOMPARE(QStringList({messages[2].titre, messages[2].periodicite, messages[2].dernieraffichage}),
                 QStringList({QString(30, QLatin1Char('t')), "8", "31/12/2026 14:00"}));
    }

    // A hidden "titre" left of the visible one gives no title.
    void fieldsFromVisibleColumns() {
        ImportGrid grid = gridOf({"titre;" + kHeaders, "Caché;" + kGoodRow});
        grid.hideColumn(1);
        QCOMPARE(importedMessages(grid).at(0).titre, QStringLiteral("Réunion"));
    }

    void duplicates() {
        const QStringList stored = {"B", "a", "c", "A"};
        ImportGrid grid =
            gridOf({kHeaders, rowWith(0, "a"), rowWith(0, "b"), rowWith(0, "A "), rowWith(0, "x"), rowWith(0, "a")});
        QCOMPARE(duplicateTitles(grid, stored), QStringLiteral("b\na\nA \na\na\nA \na\n"));
        QCOMPARE(removeDuplicateRows(grid, stored), std::nullopt);
        QCOMPARE(titles(grid), QStringList({"4:x", "5:a"}));  // one row per stored title, numbers kept

        ImportGrid all = gridOf({kHeaders, rowWith(0, "c"), rowWith(0, "B")});
        QCOMPARE(removeDuplicateRows(all, stored),
                 QStringLiteral("Fin de l'importation.\nTous les messages existant ont été enlevés.\nIl n'existe plus "
                                "aucunes données à importer."));
    }

    // No to the duplicates question cancels; Yes imports the others.
    void preparation() {
        ImportGrid grid = gridOf({kHeaders, kGoodRow, rowWith(0, "Autre")});
        QStringList questions;
        ImportPlan plan = prepareImport(grid, {"réunion"}, [&](const QString& q) {
            questions << q;
            return false;
        });
        QCOMPARE(plan.refusal, importCancelledText());
        QCOMPARE(questions, QStringList({"Réunion\n"}));

        plan = prepareImport(grid, {"réunion"}, [](const QString&) { return true; });
        QCOMPARE(plan.refusal, std::nullopt);
        QCOMPARE(plan.messages.size(), size_t(1));
        QCOMPARE(plan.messages[0].titre, QStringLiteral("Autre"));
    }

    // Where a column's name goes back in the list of names still offered; a new column widens every row.
    void namesAndColumns() {
        QCOMPARE(homeIndex(importFieldNames(), QStringLiteral("etat")), -1);  // still offered
        QCOMPARE(homeIndex(importFieldNames().mid(1), QStringLiteral("id")), -1);
        QCOMPARE(homeIndex({QStringLiteral("message")}, QStringLiteral("dernieraffichage")), 1);
        ImportGrid grid = gridOf({kHeaders, kGoodRow});
        grid.appendColumn();
        QVERIFY(grid.row(0).size() == 10 && grid.row(1).size() == 10);
    }
};

QTEST_GUILESS_MAIN(tst_importcheck)
#include "tst_importcheck.moc"
