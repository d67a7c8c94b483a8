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

// The refusal of the cell of field in the second data row.
QString cellRefusal(int field, const char* middle, const QString& end) {
    return QStringLiteral("Importation impossible:\nLe champ [") + kHeaders.split(QLatin1Char(';')).at(field) +
           QStringLiteral("] contient une donnée ") + QString::fromUtf8(middle) + QStringLiteral(" à la ligne 2") +
           end + QStringLiteral(" pour pouvoir importer les données dans la base de données du programme.");
}

}  // namespace

class tst_importcheck : public QObject {
    Q_OBJECT
private slots:
    void gridCheckAndFields_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("hidden");    // a column to delete first, or 0
        QTest::addColumn<QString>("text");  // the refusal, or the messages imported: their fields, "/" between them
        const QString unidentified = QStringLiteral(
            " n'a pas été identifié. Celui-ci est obligatoire pour pouvoir importer les données\ndans la base de "
            "données pour le carnet d'adresses.");
        QTest::newRow("header row only") << QStringList{kHeaders} << 0
                                         << "Importation impossible:\nAucunes données à importer n'ont été trouvées.";
        QTest::newRow("a column hidden")
            << QStringList{kHeaders, kGoodRow} << 3
            << "Importation impossible:\nLe nombre de colonnes est différent du nombre de champs (8 au total).\nVous "
               "devez ajouter ou supprimer une ou des colonnes.\nPour de plus amples informations, consultez l'aide "
               "en appuyant sur la touche F1 de votre clavier.";
        QTest::newRow("two visible titles")
            << QStringList{QString(kHeaders).replace("titre;message", "message;titre").replace("etat", "titre"),
                           kGoodRow}
            << 0
            << "Importation impossible:\nDeux colonnes (5 et 2) possedent le même nom.\nVous devez changer le nom du "
               "champ avec le nom correspondant\ndans la liste (modification des données).";
        QTest::newRow("no title") << QStringList{QString(kHeaders).replace("titre;", "Titre ;"), kGoodRow} << 0
                                  << "Importation impossible:\nLe champ [titre]" + unidentified;
        QTest::newRow("empty name") << QStringList{QString(kHeaders).replace("etat", " "), kGoodRow} << 0
                                    << "Importation impossible:\nLe champ de la colonne 5" + unidentified;
        QTest::newRow("unknown name")
            << QStringList{QString(kHeaders).replace("etat", "Statut"), kGoodRow} << 0
            << "Importation impossible:\nLe champ de la colonne 5 n'a pas un nom valide (Statut).\nVous devez changer "
               "le nom du champ avec le nom correspondant\ndans la liste (mappage des champs).";
        QTest::newRow("title column not first")
            << QStringList{QString(kHeaders).replace("titre;message", "message;titre"), kGoodRow, rowWith(1, " ")} << 0
            << cellRefusal(0, "vide", ". Le titre du message est obligatoire");
        // A cell of the second data row refused.
        const auto cell = [](const QByteArray& name, int field, const QString& value, const char* middle,
                             const char* end) {
            QTest::newRow(name.constData()) << QStringList{kHeaders, kGoodRow, rowWith(field, value)} << 0
                                            << cellRefusal(field, middle, QString::fromUtf8(end));
        };
        const char* dateEnd = ". La date du message est obligatoire et doit être au format JJ/MM/AAAA";
        cell("title of 30 and a blank", 0, QString(30, QLatin1Char('t')) + ' ', "non valide",
             ". Celle-ci doit être un titre de message valide de 30 caractères maximum");
        cell("date not a day", 2, "31/04/2026", "invalide", dateEnd);
        cell("date empty", 2, "  ", "vide", dateEnd);
        cell("state with a capital", 4, "Actif", "non valide",
             ". Celle-ci doit être un etat de message valide ('actif' ou 'errone')");
        cell("daily without its last display", 7, "", "vide",
             ". La date de dernier affichage du message est obligatoire et doit être au format JJ/MM/AAAA HH:MM");
        cell("next display malformed", 6, "05/12/2026", "non valide",
             ". Celle-ci doit être une date de prochain affichage du message valide au format JJ/MM/AAAA HH:MM");
        // Only one digit, blanks around it allowed, is a periodicity: anything else would reach the store.
        for (const char* code : {"2,'x','y','01/01/2030','10:00','actif',0,'',''),('z", "", "10", "-1", "٣"})
            cell("periodicity \"" + QByteArray(code) + '"', 5, QString::fromUtf8(code), "non valide",
                 ". Celle-ci doit être une periodicité de message valide (entre 0 et 8)");
        // Fields trimmed, taken from the visible columns (the hidden "titre" is no second title), the cells a
        // periodicity makes meaningless rewritten, "actif" for no state.
        QTest::newRow("imported") << QStringList{"titre;" + kHeaders, "x; L'été ; Salle 2 ;05/12/2026; 14:00 ;;0;x;y",
                                                 "x;b;t;31/02/2026;99:99;errone; 9 ;x;y",
                                                 "x;" + rowWith(0, QString(30, 't')).replace(";2;", "; 8 ;")}
                                  << 1
                                  << "L'été|Salle 2|05/12/2026|14:00|actif|0|05/12/2026 14:00|/b|t|||errone|9||/" +
                                         QString(30, 't') +
                                         "|Salle 2|05/12/2026|14:00|actif|8|05/12/2026 14:00|31/12/2026 14:00";
    }

    void gridCheckAndFields() {
        QFETCH(QStringList, lines);
        QFETCH(int, hidden);
        QFETCH(QString, text);
        ImportGrid grid = gridOf(lines);
        if (hidden)
            grid.hideColumn(hidden);
        const std::optional<QString> refusal = checkImportGrid(grid);
        QStringList imported;
        for (const Message& m : refusal ? MessageList() : importedMessages(grid))
            imported << QStringList{m.titre, m.message,     m.datemessage,       m.heuremessage,
                                    m.etat,  m.periodicite, m.prochainaffichage, m.dernieraffichage}
                            .join(QLatin1Char('|'));
        QCOMPARE(refusal.value_or(imported.join(QLatin1Char('/'))), text);
    }

    // Each stored title takes out one row of the grid with that title (trimmed, any case); No to the question
    // cancels.
    void duplicates() {
        const QStringList stored = {"B", "a", "c", "À"};
        ImportGrid grid =
            gridOf({kHeaders, rowWith(0, "a"), rowWith(0, "b"), rowWith(0, "à "), rowWith(0, "x"), rowWith(0, "a")});
        QCOMPARE(duplicateTitles(grid, stored), QStringLiteral("b\na\na\nà \n"));
        ImportPlan plan = prepareImport(grid, stored, [](const QString&) { return false; });
        QCOMPARE(plan.refusal, importCancelledText());
        plan = prepareImport(grid, stored, [](const QString&) { return true; });
        QCOMPARE(plan.refusal, std::nullopt);
        QCOMPARE(plan.messages.size(), size_t(2));  // one row per stored title, numbers kept
        QCOMPARE(grid.cell(1, 0) + grid.cell(1, 1) + grid.cell(2, 0) + grid.cell(2, 1), QStringLiteral("4x5a"));

        ImportGrid all = gridOf({kHeaders, rowWith(0, "c"), rowWith(0, "B")});
        QCOMPARE(removeDuplicateRows(all, stored),
                 QStringLiteral("Fin de l'importation.\nTous les messages existant ont été enlevés.\nIl n'existe plus "
                                "aucunes données à importer."));
    }

    // A new column widens every row.
    void addedColumn() {
        ImportGrid grid = gridOf({kHeaders, kGoodRow});
        grid.appendColumn();
        QVERIFY(grid.row(0).size() == 10 && grid.row(1).size() == 10);
    }
};

QTEST_GUILESS_MAIN(tst_importcheck)
#include "tst_importcheck.moc"
