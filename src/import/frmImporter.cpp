#include "frmImporter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
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

#include "calendar/IcsImport.h"
#include "common/FileExists.h"
#include "common/HandlerScope.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"
#include "import/ImportCheck.h"
#include "import/ImportGridModel.h"
#include "import/frmValeurCellule.h"
#include "store/MessageStore.h"

namespace tavanote {

frmImporter::frmImporter(Services& services, WindowHost& host, ImportHost& importHost, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_host(host), m_importHost(importHost) {
    setObjectName(QStringLiteral("frmImporter"));
    setWindowTitle(QStringLiteral("Importation"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_model = new ImportGridModel(this);

    buildFileArea();
    buildGridArea();
    buildVerificationPanel();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    QWidget* fileArea = findChild<QWidget*>(QStringLiteral("fileArea"));
    layout->addWidget(fileArea);
    layout->addWidget(m_gridArea, 1);
    m_gridArea->hide();
    setHeight(kCollapsedHeight);

    connect(txtCheminfichier, &QLineEdit::textChanged, this, &frmImporter::txtCheminfichier_Change);
    connect(cmdParcourir, &QPushButton::clicked, this, &frmImporter::cmdParcourir_Click);
    for (int i = 0; i < 5; ++i) {
        connect(optDelimiteurChamp[static_cast<size_t>(i)], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                optDelimiteurChamp_Click(i);
        });
    }
    connect(cboDelimiteurTexte, &QComboBox::currentIndexChanged, this, &frmImporter::cboDelimiteurTexte_Click);
    connect(cmdApercu, &QPushButton::clicked, this, &frmImporter::cmdApercu_Click);
    connect(cmdDonnees, &QPushButton::clicked, this, &frmImporter::cmdDonnees_Click);
    connect(cmdImporter, &QPushButton::clicked, this, &frmImporter::cmdImporter_Click);
    connect(cmdAnnuler, &QPushButton::clicked, this, &frmImporter::cmdAnnuler_Click);
    connect(cmdFermer, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdAide, &QPushButton::clicked, this, [this] { m_services.help.show(this, HelpContext::Import); });

    connect(FGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmImporter::FGrid_SelChange);
    // A click on the cell already current makes it current again after a command left the header row current.
    connect(FGrid, &QTableView::pressed, this, [this] {
        if (m_headerRowCurrent)
            FGrid_SelChange();
    });
    connect(FGrid, &QTableView::doubleClicked, this, &frmImporter::cmdModifierValeur_Click);
    connect(FGrid->verticalScrollBar(), &QScrollBar::valueChanged, this, &frmImporter::FGrid_Scroll);
    // Rows removed (one by the user, the duplicates by the import) leave no count of lines gone behind.
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &frmImporter::showLinePosition);
    connect(m_model, &QAbstractItemModel::modelReset, this, &frmImporter::showLinePosition);
    connect(lstChampsTrouves, &QListWidget::itemSelectionChanged, this, [this] {
        if (!lstChampsTrouves->selectedItems().isEmpty())
            lstChamps->setEnabled(true);
    });
    connect(lstChamps, &QListWidget::itemSelectionChanged, this,
            [this] { cmdChanger->setEnabled(!lstChamps->selectedItems().isEmpty()); });
    connect(cmdChanger, &QPushButton::clicked, this, &frmImporter::cmdChanger_Click);
    connect(cmdReinit, &QPushButton::clicked, this, &frmImporter::cmdReinit_Click);
    connect(cmdAjoutColonne, &QPushButton::clicked, this, &frmImporter::cmdAjoutColonne_Click);
    connect(cmdSupprimerColonne, &QPushButton::clicked, this, &frmImporter::cmdSupprimerColonne_Click);
    connect(cmdSupprimerLigne, &QPushButton::clicked, this, &frmImporter::cmdSupprimerLigne_Click);
    connect(cmdModifierValeur, &QPushButton::clicked, this, &frmImporter::cmdModifierValeur_Click);

    installWindowKeys(this, {&m_services.help, HelpContext::Import, &m_host, {}});
}

frmImporter::~frmImporter() {
    // The cell editor writes into this window's grid: it goes first.
    delete m_cellEditor.data();
}

void frmImporter::Form_Load() {
    setHeight(kCollapsedHeight);
    CentreWindow(this);
    SetTopMost(this, true);
    optDelimiteurChamp[1]->setChecked(true);
    init(false);
    txtCheminfichier->clear();
}

void frmImporter::setHeight(int twipsHeight) {
    m_gridArea->setVisible(twipsHeight == kExpandedHeight);
    setFixedSize(twips(kWidth), twips(twipsHeight));
}

void frmImporter::init(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             optDelimiteurChamp[0], optDelimiteurChamp[1], optDelimiteurChamp[2], optDelimiteurChamp[3],
             optDelimiteurChamp[4], cmdApercu, chkNomChamp, cboDelimiteurTexte, cmdDonnees})
        control->setEnabled(enabled);
    txtDelimiteurChamp->clear();
    txtDelimiteurChamp->setEnabled(false);
    chkNomChamp->setChecked(false);
    cboDelimiteurTexte->setCurrentIndex(2);
    for (QWidget* control :
         std::initializer_list<QWidget*>{lstChamps, lstChampsTrouves, cmdReinit, cmdChanger, cmdImporter, cmdAnnuler})
        control->setEnabled(false);
}

void frmImporter::txtCheminfichier_Change() {
    if (!txtCheminfichier->text().isEmpty()) {
        init(true);
        // "Autre:" stays chosen: its box is where reading asks for the delimiter.
        txtDelimiteurChamp->setEnabled(optDelimiteurChamp[4]->isChecked());
        return;
    }
    optDelimiteurChamp[1]->setChecked(true);
    init(false);
    setHeight(kCollapsedHeight);
}

void frmImporter::optDelimiteurChamp_Click(int index) {
    txtDelimiteurChamp->clear();
    txtDelimiteurChamp->setEnabled(false);
    static const QString delimiters[4] = {QStringLiteral("\t"), QStringLiteral(";"), QStringLiteral(","),
                                          QStringLiteral(" ")};
    if (index < 4) {
        FieldDelimiter = delimiters[index];
        return;
    }
    FieldDelimiter.clear();
    txtDelimiteurChamp->setEnabled(true);
    txtDelimiteurChamp->setFocus();
}

void frmImporter::cboDelimiteurTexte_Click() {
    const int index = cboDelimiteurTexte->currentIndex();
    TextDelimiter = index == 0 || index == 1 ? cboDelimiteurTexte->itemText(index) : QString();
}

void frmImporter::cmdParcourir_Click() {
    const QString name = m_services.dialogs.openFileName(
        this, windowTitle(), QString(),
        QStringLiteral("Fichiers TEXTE (*.txt);;Fichiers TEXTE délimités (*.csv);;Agenda iCalendar (*.ics);;Tous les "
                       "fichiers (*.*)"));
    if (name.isEmpty())
        return;  // cancelled: nothing changes
    txtCheminfichier->setText(name);
    cmdApercu->setEnabled(true);
    optDelimiteurChamp[0]->setFocus();
    if (isCalendarFile(name))
        importCalendar(name);
}

bool frmImporter::isCalendarFile(const QString& path) {
    return path.endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive);
}

void frmImporter::importCalendar(const QString& path) {
    HandlerScope handler;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        info(
            QStringLiteral("Impossible d'importer les données du fichier sélectionné.\nAssurez-vous que ce dernier "
                           "existe ou que le nom est correct."));
        return;
    }
    const IcsRead read = readIcs(file.readAll());
    if (!read.error.isEmpty()) {
        info(QStringLiteral("Importation impossible:\n") + read.error);
        return;
    }
    const QString summary = icsImportSummary(QFileInfo(path).fileName(), read);
    if (read.messages.empty()) {
        info(summary);
        return;
    }
    if (!ask(summary + continueImportQuestion())) {
        info(importCancelledText());
        return;
    }
    const std::optional<QStringList> titles = storedTitles();
    if (titles) {
        ImportGrid grid = icsImportGrid(read.messages);
        ImportPlan plan =
            prepareImport(grid, *titles, [this](const QString& duplicates) { return askDuplicates(duplicates); });
        if (plan.refusal) {
            info(*plan.refusal);
            return;
        }
        if (storeCheckedRows(std::move(plan.messages))) {
            info(importSucceededText());
            close();
            return;
        }
    }
    // The store refused: all the messages or none are written, and here none was.
    m_services.dialogs.message(this, importFailedText(storeErrorText(m_services.store.failure())), Icon::Exclamation,
                               Buttons::Ok);
}

std::optional<QStringList> frmImporter::storedTitles() {
    const std::optional<MessageList> stored = m_services.store.all();
    if (!stored)
        return std::nullopt;
    QStringList titles;
    titles.reserve(static_cast<qsizetype>(stored->size()));
    for (const Message& message : *stored)
        titles << message.titre;
    return titles;
}

void frmImporter::cmdApercu_Click() {
    m_importHost.previewFile(txtCheminfichier->text());
}

void frmImporter::info(const QString& text) {
    m_services.dialogs.message(this, text, Icon::Information, Buttons::Ok);
}

bool frmImporter::ask(const QString& question) {
    return m_services.dialogs.message(this, question, Icon::Question, Buttons::YesNo) == Answer::Yes;
}

void frmImporter::cmdDonnees_Click() {
    HandlerScope handler;
    const QString path = txtCheminfichier->text();
    if (!FileExists(path)) {
        info(QStringLiteral(
            "Impossible d'importer les données du fichier sélectionné.\nAssurez-vous que ce dernier existe ou que le "
            "nom est correct."));
        txtCheminfichier->selectAll();
        txtCheminfichier->setFocus();
        return;
    }
    // A calendar names its fields itself: no grid.
    if (isCalendarFile(path)) {
        importCalendar(path);
        return;
    }
    if (txtDelimiteurChamp->isEnabled())
        FieldDelimiter = txtDelimiteurChamp->text();
    const DelimitedOptions options{FieldDelimiter, TextDelimiter, chkNomChamp->isChecked()};
    if (const QString refusal = delimiterRefusal(options); !refusal.isEmpty()) {
        info(refusal);
        (FieldDelimiter.isEmpty() ? static_cast<QWidget*>(txtDelimiteurChamp) : cboDelimiteurTexte)->setFocus();
        return;
    }
    // The file may have gone, or turned unreadable, since it was chosen.
    const ImportFileText file = readImportFile(path);
    if (!file.error.isEmpty()) {
        info(file.error);
        return;
    }
    DelimitedRead read = readDelimited(file.text, options);
    if (read.status == ReadStatus::NoData) {
        info(read.message);
        return;
    }
    if (read.status == ReadStatus::Faulty) {
        info(read.message);
        cmdAnnuler_Click();
        return;
    }

    for (QWidget* control : std::initializer_list<QWidget*>{
             txtCheminfichier, cmdParcourir, optDelimiteurChamp[0], optDelimiteurChamp[1], optDelimiteurChamp[2],
             optDelimiteurChamp[3], optDelimiteurChamp[4], txtDelimiteurChamp, chkNomChamp, cboDelimiteurTexte,
             cmdDonnees, cmdApercu, cmdReinit, cmdChanger, lstChamps})
        control->setEnabled(false);
    m_fieldNames = importFieldNames();
    lstChampsTrouves->clear();
    lstChampsTrouves->addItems(read.foundNames);
    lstChampsTrouves->setEnabled(true);
    lstChamps->clear();
    lstChamps->addItems(m_fieldNames);
    cmdChanger->setEnabled(false);
    for (QPushButton* command : {cmdAjoutColonne, cmdSupprimerColonne, cmdSupprimerLigne, cmdModifierValeur})
        command->setEnabled(false);

    m_headerRowCurrent = false;
    m_model->setGrid(std::move(read.grid));
    const ImportGrid& grid = m_model->grid();
    for (int c = 1; c < grid.columnCount(); ++c) {
        FGrid->setColumnHidden(c - 1, grid.width(c) == 0);
        FGrid->setColumnWidth(c - 1, twips(grid.width(c)));
    }
    FGrid->scrollToTop();
    setHeight(kExpandedHeight);
    showLinePosition();
    CentreWindow(this);
    cmdImporter->setEnabled(true);
    cmdAnnuler->setEnabled(true);
}

void frmImporter::cmdAnnuler_Click() {
    setHeight(kCollapsedHeight);
    CentreWindow(this);
    for (QWidget* control : std::initializer_list<QWidget*>{
             txtCheminfichier, cmdParcourir, optDelimiteurChamp[0], optDelimiteurChamp[1], optDelimiteurChamp[2],
             optDelimiteurChamp[3], optDelimiteurChamp[4], chkNomChamp, cboDelimiteurTexte, cmdDonnees, cmdApercu})
        control->setEnabled(true);
    txtDelimiteurChamp->setEnabled(optDelimiteurChamp[4]->isChecked());
    m_headerRowCurrent = false;
    m_model->setGrid(ImportGrid(1));
    for (QPushButton* command : {cmdAjoutColonne, cmdSupprimerColonne, cmdSupprimerLigne, cmdModifierValeur})
        command->setEnabled(false);
    txtCheminfichier->selectAll();
    cmdParcourir->setFocus();
}

int frmImporter::currentRow() const {
    if (m_headerRowCurrent)
        return 0;
    const QModelIndex current = FGrid->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

int frmImporter::currentColumn() const {
    const QModelIndex current = FGrid->currentIndex();
    return current.isValid() ? current.column() + 1 : 0;
}

void frmImporter::FGrid_SelChange() {
    m_headerRowCurrent = false;
    lblLigne->setText(cellPositionText(currentColumn(), currentRow()));
    if (currentRow() < 1)
        return;
    for (QWidget* control : std::initializer_list<QWidget*>{lstChamps, cmdChanger, cmdAjoutColonne, cmdSupprimerColonne,
                                                            cmdSupprimerLigne, cmdModifierValeur})
        control->setEnabled(true);
}

void frmImporter::FGrid_Scroll() {
    showLinePosition();
}

void frmImporter::showLinePosition() {
    const int rows = m_model->grid().rowCount();
    int row = std::min(currentRow(), rows - 1);
    if (row < 1 && rows > 1)
        row = std::max(FGrid->rowAt(0), 0) + 1;
    lblLigne->setText(scrolledRowText(row, rows));
}

void frmImporter::setCurrentRowToHeader() {
    m_headerRowCurrent = true;
    lblLigne->setText(cellPositionText(currentColumn(), 0));
}

void frmImporter::cmdChanger_Click() {
    const QList<QListWidgetItem*> selected = lstChamps->selectedItems();
    if (selected.isEmpty() || currentColumn() < 1)
        return;
    setCurrentRowToHeader();
    m_model->setCell(0, currentColumn(), selected.first()->text());
    delete lstChamps->takeItem(lstChamps->row(selected.first()));
    lstChamps->clearSelection();
    lstChamps->setCurrentRow(-1);
    cmdReinit->setEnabled(true);
}

void frmImporter::cmdReinit_Click() {
    lstChamps->clear();
    lstChamps->addItems(m_fieldNames);
    cmdReinit->setEnabled(false);
    cmdChanger->setEnabled(false);
    lstChamps->clearSelection();
    lstChamps->setCurrentRow(-1);
    lstChamps->setFocus();
}

void frmImporter::cmdAjoutColonne_Click() {
    HandlerScope handler;
    const QString refusal = addColumnRefusal(m_model->grid(), lstChamps->count());
    if (!refusal.isEmpty()) {
        m_services.dialogs.message(this, refusal, Icon::None, Buttons::Ok);
        return;
    }
    m_model->appendColumn();
    FGrid->setColumnWidth(m_model->columnCount() - 1, twips(ImportGrid::kDataWidth));
}

void frmImporter::cmdSupprimerColonne_Click() {
    HandlerScope handler;
    if (currentRow() < 1) {
        info(QStringLiteral("Sélectionnez une colonne."));
        return;
    }
    setCurrentRowToHeader();
    const int column = currentColumn();
    const QString header = m_model->grid().header(column);
    if (!ask(deleteColumnQuestion(header)))
        return;
    m_model->update([column](ImportGrid& grid) { grid.hideColumn(column); });
    FGrid->setColumnHidden(column - 1, true);
    QStringList available;
    for (int i = 0; i < lstChamps->count(); ++i)
        available << lstChamps->item(i)->text();
    const int home = homeIndex(available, header);
    if (home >= 0)
        lstChamps->insertItem(home, header.toLower());
}

void frmImporter::cmdSupprimerLigne_Click() {
    HandlerScope handler;
    const int row = currentRow();
    if (row < 1) {
        info(QStringLiteral("Sélectionnez une ligne."));
        return;
    }
    if (ask(deleteRowQuestion(row)))
        m_model->removeRow(row);
}

frmValeurCellule* frmImporter::cellEditor() const {
    return m_cellEditor;
}

void frmImporter::cmdModifierValeur_Click() {
    // A closed editor is only waiting to be deleted: a new one takes its place.
    if (!m_cellEditor || !m_cellEditor->isLoaded()) {
        m_cellEditor = new frmValeurCellule(
            m_services, m_host, [this] { return m_model->grid().cell(currentRow(), currentColumn()); },
            [this](const QString& text) { m_model->setCell(currentRow(), currentColumn(), text); }, this);
        m_cellEditor->Form_Load();
    }
    m_cellEditor->show();
    m_cellEditor->raise();
    m_cellEditor->activateWindow();
}

void frmImporter::setProgress(int barWidth, const QString& label) {
    lblBarreVerification->resize(twips(barWidth), lblBarreVerification->height());
    if (!label.isEmpty())
        lblInfoVerification->setText(label);
    // The whole check runs inside this click: paint each step now, so the user sees the bar move.
    picVerification->repaint();
}

void frmImporter::importRefused(const QString& text) {
    info(text);
    picVerification->hide();
    cmdImporter->setEnabled(true);
}

void frmImporter::cmdImporter_Click() {
    HandlerScope handler;
    // Over the bottom of the grid, where the boxes of the checks, centred on the window, leave it in sight.
    picVerification->move((width() - picVerification->width()) / 2, height() - picVerification->height() - twips(900));
    picVerification->show();
    picVerification->raise();
    setProgress(0, QString());
    cmdImporter->setEnabled(false);

    MessageStore& store = m_services.store;
    const std::optional<MessageList> stored = store.all();
    ImportPlan plan;
    if (stored) {
        QStringList titles;
        titles.reserve(static_cast<qsizetype>(stored->size()));
        for (const Message& message : *stored)
            titles << message.titre;
        m_model->update([&](ImportGrid& grid) {
            plan = prepareImport(
                grid, titles, [this](const QString& duplicates) { return askDuplicates(duplicates); },
                [this](int bar, const QString& label) { setProgress(bar, label); });
        });
        if (plan.refusal) {
            importRefused(*plan.refusal);
            return;
        }
        cmdImporter->setEnabled(false);
        cmdAnnuler->setEnabled(false);
        if (!ask(continueImportQuestion())) {
            importRefused(importCancelledText());
            return;
        }
        if (storeCheckedRows(std::move(plan.messages))) {
            setProgress(kProgressTrack, QString());
            picVerification->hide();
            info(importSucceededText());
            close();
            return;
        }
    }
    // The store refused: all the rows or none are written, and here none was.
    m_services.dialogs.message(this, importFailedText(storeErrorText(store.failure())), Icon::Exclamation, Buttons::Ok);
    picVerification->hide();
    cmdImporter->setEnabled(true);
    cmdAnnuler->setEnabled(true);
    cmdAnnuler_Click();
}

bool frmImporter::askDuplicates(const QString& duplicates) {
    // However many they are, the question and its buttons stay on screen: the titles scroll.
    return m_services.dialogs.listMessage(this, duplicateQuestionHead(), duplicates, duplicateQuestionTail(),
                                          Icon::Question, Buttons::YesNo) == Answer::Yes;
}

bool frmImporter::storeCheckedRows(MessageList messages) {
    const std::optional<MessageList> stored = storeImported(m_services.store, std::move(messages));
    if (!stored)
        return false;
    m_importHost.messagesImported(*stored);
    return true;
}

void frmImporter::closeEvent(QCloseEvent* event) {
    if (m_cellEditor && m_cellEditor->isLoaded())
        m_cellEditor->close();
    event->accept();
}

}  // namespace tavanote
