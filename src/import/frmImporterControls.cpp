// The controls of the import window: the file and its delimiters, the grid with its mapping, the checking panel.

#include "frmImporter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include "common/WindowHelpers.h"
#include "import/ImportCheck.h"
#include "import/ImportGridModel.h"

namespace tavanote {

namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption, const char* toolTip) {
    return named(new QPushButton(QString::fromUtf8(caption), parent), QString::fromLatin1(name),
                 QString::fromUtf8(toolTip));
}

}  // namespace

void frmImporter::buildFileArea() {
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("fileArea"));
    txtCheminfichier = named(new QLineEdit(area), QStringLiteral("txtCheminfichier"),
                             QStringLiteral("Chemin d'accès au fichier à importer"));
    cmdParcourir = button(area, "cmdParcourir", "&Parcourir", "Rechercher un fichier");

    Frame1 = named(new QGroupBox(QStringLiteral("Options"), area), QStringLiteral("Frame1"));
    const char* const captions[5] = {"Tabulation", "Point-Virgule", "Virgule", "Espace", "Autre:"};
    const char* const tips[5] = {"Délimiteur de champ: Tabulation", "Délimiteur de champ: Point-virgule",
                                 "Délimiteur de champ: ", "Délimiteur de champ: Espace", "Délimiteur de champ: Autre"};
    auto* fieldRow = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        optDelimiteurChamp[static_cast<size_t>(i)] =
            named(new QRadioButton(QString::fromUtf8(captions[i]), Frame1),
                  QStringLiteral("optDelimiteurChamp_%1").arg(i), QString::fromUtf8(tips[i]));
        fieldRow->addWidget(optDelimiteurChamp[static_cast<size_t>(i)]);
    }
    txtDelimiteurChamp = named(new QLineEdit(Frame1), QStringLiteral("txtDelimiteurChamp"),
                               QStringLiteral("Délimiteur de champ: Autre "));
    txtDelimiteurChamp->setFixedWidth(twips(600));
    fieldRow->addWidget(txtDelimiteurChamp);
    fieldRow->addStretch();

    cboDelimiteurTexte =
        named(new QComboBox(Frame1), QStringLiteral("cboDelimiteurTexte"), QStringLiteral("Délimiteur de texte"));
    cboDelimiteurTexte->addItems({QStringLiteral("'"), QStringLiteral("\""), QStringLiteral("{Aucun}")});
    const QString names = QStringLiteral("Nom des champs sur la première ligne");
    chkNomChamp = named(new QCheckBox(names, Frame1), QStringLiteral("chkNomChamp"), names);
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(new QLabel(QStringLiteral("Délimiteur de texte"), Frame1));
    textRow->addWidget(cboDelimiteurTexte);
    textRow->addSpacing(twips(300));
    textRow->addWidget(chkNomChamp);
    textRow->addStretch();
    auto* options = new QVBoxLayout(Frame1);
    options->setContentsMargins(8, 4, 8, 6);
    options->setSpacing(4);
    options->addLayout(fieldRow);
    options->addLayout(textRow);

    cmdApercu = button(area, "cmdApercu", "&Aperçu", "Aperçu du fichier sélectionné");
    cmdDonnees = button(area, "cmdDonnees", "&Voir les données", "Voir les données du fichier sélectionné");
    cmdImporter = button(area, "cmdImporter", "&Importer", "Importer les données dans la base");
    cmdAnnuler = button(area, "cmdAnnuler", "A&nnuler", "Annuler l'importation");
    cmdFermer = button(area, "cmdFermer", "&Quitter", "Fermer la fenêtre");
    cmdAide = button(area, "cmdAide", "Ai&de", "Affiche le fichier d'aide");
    auto* commands = new QGridLayout;
    commands->setVerticalSpacing(4);
    const std::array<QPushButton*, 6> order = {cmdApercu, cmdDonnees, cmdImporter, cmdAnnuler, cmdAide, cmdFermer};
    for (int i = 0; i < 6; ++i)
        commands->addWidget(order[static_cast<size_t>(i)], i / 2, i % 2);

    auto* path = new QHBoxLayout;
    path->addWidget(txtCheminfichier, 1);
    path->addWidget(cmdParcourir);
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(new QLabel(QStringLiteral("Sélectionnez un fichier de données:"), area));
    left->addLayout(path);
    left->addWidget(Frame1);
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(left, 1);
    row->addSpacing(6);
    row->addLayout(commands);
    area->setFixedHeight(twips(kCollapsedHeight) - 14);
}

void frmImporter::buildGridArea() {
    m_gridArea = new QWidget(this);
    m_gridArea->setObjectName(QStringLiteral("gridArea"));
    FGrid = named(new QTableView(m_gridArea), QStringLiteral("FGrid"), QStringLiteral("Liste des données à importer"));
    FGrid->setModel(m_model);
    FGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGrid->setWordWrap(false);
    FGrid->horizontalHeader()->setHighlightSections(false);
    FGrid->verticalHeader()->setDefaultSectionSize(FGrid->fontMetrics().height() + 4);
    FGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lblLigne =
        named(new QLabel(m_gridArea), QStringLiteral("lblLigne"), QStringLiteral("Ligne de données selectionnée"));
    lblLigne->setFrameShape(QFrame::StyledPanel);
    lblLigne->setText(scrolledRowText(1, 113));

    fraMappage =
        named(new QGroupBox(QStringLiteral("Modification des données"), m_gridArea), QStringLiteral("fraMappage"));
    lstChamps =
        named(new QListWidget(fraMappage), QStringLiteral("lstChamps"), QStringLiteral("Liste des champs de données"));
    lstChampsTrouves = named(new QListWidget(fraMappage), QStringLiteral("lstChampsTrouves"),
                             QStringLiteral("Liste des champs trouvés dans le fichier sélectionné"));
    cmdChanger = button(fraMappage, "cmdChanger", "< &Changer >", "Changer le nom du champ");
    cmdReinit = button(fraMappage, "cmdReinit", "&Réinitialisation", "Réinitialisation des champs");
    cmdAjoutColonne = button(fraMappage, "cmdAjoutColonne", "Ajouter une colonne", "Ajouter une colonne");
    cmdSupprimerColonne = button(fraMappage, "cmdSupprimerColonne", "Supprimer une colonne", "Supprimer une colonne");
    cmdSupprimerLigne =
        button(fraMappage, "cmdSupprimerLigne", "Supprimer une ligne", "Supprimer une ligne de données");
    cmdModifierValeur =
        button(fraMappage, "cmdModifierValeur", "Modifier la valeur", "Modifier la valeur de la cellule");
    auto* mapping = new QVBoxLayout(fraMappage);
    mapping->setSpacing(4);
    mapping->addWidget(new QLabel(QStringLiteral("Champs de la base"), fraMappage));
    mapping->addWidget(lstChamps, 1);
    mapping->addWidget(cmdChanger);
    mapping->addWidget(cmdReinit);
    mapping->addWidget(new QLabel(QStringLiteral("Champs du fichier"), fraMappage));
    mapping->addWidget(lstChampsTrouves, 1);
    mapping->addSpacing(6);
    for (QPushButton* command : {cmdAjoutColonne, cmdSupprimerColonne, cmdSupprimerLigne, cmdModifierValeur})
        mapping->addWidget(command);
    fraMappage->setFixedWidth(twips(2900));

    auto* gridColumn = new QVBoxLayout;
    gridColumn->addWidget(FGrid, 1);
    gridColumn->addWidget(lblLigne);
    auto* layout = new QHBoxLayout(m_gridArea);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(gridColumn, 1);
    layout->addWidget(fraMappage);
    for (QPushButton* command : {cmdAjoutColonne, cmdSupprimerColonne, cmdSupprimerLigne, cmdModifierValeur})
        command->setEnabled(false);
}

void frmImporter::buildVerificationPanel() {
    picVerification = new QWidget(this);
    picVerification->setObjectName(QStringLiteral("picVerification"));
    picVerification->setAutoFillBackground(true);
    auto* frame = named(new QGroupBox(QStringLiteral("VERIFICATION DES DONNEES AVANT IMPORTATION"), picVerification),
                        QStringLiteral("fraVerification"));
    lblInfoVerification = named(new QLabel(frame), QStringLiteral("lblInfoVerification"),
                                QStringLiteral("Action de vérification des données en cours"));
    auto* track = new QFrame(frame);
    track->setFrameShape(QFrame::StyledPanel);
    track->setFixedSize(twips(kProgressTrack) + 4, 22);
    lblBarreVerification = named(new QLabel(track), QStringLiteral("lblBarreVerification"),
                                 QStringLiteral("Barre de progression de la vérification des données"));
    lblBarreVerification->setAutoFillBackground(true);
    lblBarreVerification->setBackgroundRole(QPalette::Highlight);
    lblBarreVerification->setGeometry(2, 2, 0, 18);
    auto* bar = new QHBoxLayout;
    bar->addWidget(track);
    bar->addWidget(new QLabel(QStringLiteral("100 %"), frame));
    bar->addStretch();
    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(lblInfoVerification);
    inner->addLayout(bar);
    inner->addWidget(new QLabel(QStringLiteral("Veuillez patienter..."), frame));
    auto* outer = new QVBoxLayout(picVerification);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(frame);
    picVerification->setFixedSize(picVerification->sizeHint().expandedTo(QSize(twips(kProgressTrack) + 90, 0)));
    picVerification->hide();
}

}  // namespace tavanote
