#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>

#include "common/Services.h"
#include "common/WindowHost.h"
#include "import/DelimitedReader.h"
#include "store/Message.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableView;

namespace tavanote {

class ImportGridModel;
class frmValeurCellule;

// What the import window asks of the window that opened it.
class ImportHost {
public:
    virtual ~ImportHost() = default;
    // The report window on a file, shown as it is before the import.
    virtual void previewFile(const QString& path) = 0;
    // Messages were stored (stored: with their ids): the lists show them at once, and those whose display time
    // has passed are dealt with at once as missed displays are (a note opens late, a display long past is stepped).
    virtual void messagesImported(const MessageList& stored) = 0;
};

// The import window: a delimited text file read into a grid, its columns named after the message fields, its
// rows checked and inserted into the store. Collapsed it shows the file and its options; once the file is read it
// grows to show the grid and the mapping, and locks the options until "Annuler".
class frmImporter : public QWidget {
    Q_OBJECT
public:
    frmImporter(Services& services, WindowHost& host, ImportHost& importHost, QWidget* parent = nullptr);
    ~frmImporter() override;

    void Form_Load();

    void cmdParcourir_Click();
    void cmdApercu_Click();
    void cmdDonnees_Click();
    void cmdAnnuler_Click();
    void cmdImporter_Click();
    void cmdChanger_Click();
    void cmdReinit_Click();
    void cmdAjoutColonne_Click();
    void cmdSupprimerColonne_Click();
    void cmdSupprimerLigne_Click();
    void cmdModifierValeur_Click();

    // The grid's current cell, in grid coordinates (row 0 the column names, column 0 the row numbers).
    int currentRow() const;
    int currentColumn() const;
    const ImportGridModel& gridModel() const { return *m_model; }
    frmValeurCellule* cellEditor() const;

    static constexpr int kCollapsedHeight = 2820;  // twips
    static constexpr int kExpandedHeight = 9240;
    static constexpr int kWidth = 11700;

    QLineEdit* txtCheminfichier;
    QPushButton* cmdParcourir;
    QGroupBox* Frame1;
    std::array<QRadioButton*, 5> optDelimiteurChamp{};
    QLineEdit* txtDelimiteurChamp;
    QComboBox* cboDelimiteurTexte;
    QCheckBox* chkNomChamp;
    QPushButton* cmdApercu;
    QPushButton* cmdDonnees;
    QPushButton* cmdImporter;
    QPushButton* cmdAnnuler;
    QPushButton* cmdFermer;
    QPushButton* cmdAide;
    QTableView* FGrid;
    QGroupBox* fraMappage;
    QListWidget* lstChamps;
    QListWidget* lstChampsTrouves;
    QPushButton* cmdChanger;
    QPushButton* cmdReinit;
    QPushButton* cmdAjoutColonne;
    QPushButton* cmdSupprimerColonne;
    QPushButton* cmdSupprimerLigne;
    QPushButton* cmdModifierValeur;
    QLabel* lblLigne;
    QWidget* picVerification;
    QLabel* lblInfoVerification;
    QLabel* lblBarreVerification;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFileArea();
    void buildGridArea();
    void buildVerificationPanel();
    void init(bool enabled);
    void setHeight(int twipsHeight);
    void txtCheminfichier_Change();
    void optDelimiteurChamp_Click(int index);
    void cboDelimiteurTexte_Click();
    void FGrid_SelChange();
    void FGrid_Scroll();
    void setCurrentRowToHeader();
    // " Ligne: r sur n": the current row, or before any is chosen the row at the top of the grid.
    void showLinePosition();
    void setProgress(int barWidth, const QString& label);
    void importRefused(const QString& text);
    // A calendar file: what it holds and leaves in one box, then the same duplicate question and store step as
    // the grid.
    static bool isCalendarFile(const QString& path);
    void importCalendar(const QString& path);
    std::optional<QStringList> storedTitles();
    bool askDuplicates(const QString& duplicates);
    // Every import ends here: the checked rows stored, all or none, then handed to the host. False when none was.
    bool storeCheckedRows(MessageList messages);
    bool ask(const QString& question);
    void info(const QString& text);

    Services& m_services;
    WindowHost& m_host;
    ImportHost& m_importHost;
    ImportGridModel* m_model;
    QWidget* m_gridArea;
    QPointer<frmValeurCellule> m_cellEditor;
    QString FieldDelimiter = QStringLiteral(";");
    QString TextDelimiter;
    QStringList m_fieldNames;  // lstChampsOrigine: the eight names in table order, each name's home position
    // cmdChanger and cmdSupprimerColonne leave the header row current until the user moves in the grid.
    bool m_headerRowCurrent = false;
};

}  // namespace tavanote
