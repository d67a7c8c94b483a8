#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>

#include "common/Services.h"

class QFrame;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabBar;
class QTableView;
class QTimer;

namespace tavanote {

class MessageListModel;

// The main window: the three lists of messages (active, erroneous, displayed), the colour legend, the status
// bar with its hints, date and time, and the program's quit procedure. It is loaded at start and lives,
// mostly hidden, until the program ends.
class frmGestionMessages : public QMainWindow {
    Q_OBJECT
public:
    // The windows that bringing the main window to the front unloads, in the order it unloads them.
    enum SecondaryWindow { SecParametres, SecAjoutMessage, SecEtat, SecApropos, SecImporter, SecondaryCount };

    frmGestionMessages(Services& services, bool newVersion, QWidget* parent = nullptr);
    ~frmGestionMessages() override;

    // The start-up work, in its fixed order. False when the message file cannot be used: the user was told
    // and the program is ending.
    bool Form_Load();

    void RefreshMessageLists();
    void SetUpListColumns();
    void LoadMessageLists();
    void ShowListCounts();
    QString SelectedMessageId(QTableView* grid);
    void ShowLegend(bool show);
    void PointLegendArrow(QTableView* grid);
    void TabStrip1_Click();

    // Ends the program, asking first when confirm is true. False when the user chose to go on.
    bool QuitProgram(bool confirm);
    void mnuQuitter_Click();

    QTableView* grid(int list) const { return m_grids[static_cast<size_t>(list)]; }
    MessageListModel* listModel(int list) const { return m_models[static_cast<size_t>(list)]; }
    int listCount(int list) const;
    void setSecondaryWindow(SecondaryWindow slot, QWidget* window);

    // The list shown: 0 active, 1 erroneous, 2 displayed.
    int CurrentList = 0;
    QString SelectedId;
    QString SelectedTitle;

    QTabBar* TabStrip1;
    std::array<QFrame*, 3> CadreMSF{};
    QTableView* MSFactifs;
    QTableView* MSFErrones;
    QTableView* MSFaffiches;
    std::array<QLabel*, 3> lblNombre{};
    QStatusBar* StatusBar1;
    std::array<QLabel*, 3> StatusPanels{};  // hints, date, time
    QFrame* picLegende;
    std::array<QLabel*, 10> lblCouleur{};
    std::array<QLabel*, 13> Label2{};
    QPushButton* cmdLegende;
    QLabel* imgFleche;
    QFrame* LinLegende;
    QTimer* Timer1;
    QTimer* Timer2;

signals:
    // A double click on a message's cell: the user asks to modify it.
    void modifyRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLists(QWidget* central);
    void buildLegend(QWidget* central);
    void buildStatusBar();
    void Timer1_Timer();
    void cmdLegende_Click();
    void grid_DblClick(QTableView* grid, const QModelIndex& index);
    void showHint(const QString& text);
    QString hintFor(QObject* watched, const QPoint& position) const;
    std::array<QColor, 10> swatchColours() const;
    void unloadSecondaryWindows();
    bool legendShown() const;

    Services& m_services;
    bool m_newVersion;
    bool m_recoveryButtonVisible = false;
    bool m_quitting = false;
    std::array<QTableView*, 3> m_grids{};
    std::array<MessageListModel*, 3> m_models{};
    std::array<QPointer<QWidget>, SecondaryCount> m_secondary{};
};

}  // namespace tavanote
