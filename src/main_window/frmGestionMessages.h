#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

#include "app/frmParametres.h"
#include "common/Services.h"
#include "editor/frmAjoutMessage.h"
#include "main_window/Help.h"
#include "main_window/frmApropos.h"
#include "scheduling/DueCheck.h"
#include "scheduling/frmTavanote.h"

class QAction;
class QFrame;
class QKeyEvent;
class QMenu;
class QPrinter;
class QToolBar;
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
class frmGestionMessages : public QMainWindow, public NoteHost, public EditorHost {
    Q_OBJECT
public:
    // The windows that bringing the main window to the front unloads, in the order it unloads them.
    enum SecondaryWindow { SecParametres, SecAjoutMessage, SecEtat, SecApropos, SecImporter, SecondaryCount };

    frmGestionMessages(Services& services, bool newVersion, QWidget* parent = nullptr);
    ~frmGestionMessages() override;

    // The start-up work, in its fixed order. False when the message file cannot be used: the user was told
    // and the program is ending.
    bool Form_Load();

    void RefreshMessageLists() override;
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

    // The due check of one tick of Timer2.
    void Timer2_Timer();
    // Opens the notes of the messages shown at every start.
    void DisplayStartupMessages();
    // The open note of a message, found by its tag; nullptr when none.
    frmTavanote* findNote(qint64 id) const;
    QList<frmTavanote*> openNotes() const;

    bool deletingDisplayedMessage() const override { return DeletingDisplayedMessage; }
    void showHelp(QWidget* window, const QString& topic, int context) override;
    void showAbout() override;
    void editorSaved(const QString& id) override;
    void openSettings();
    // Brings the previous version's messages into the store and tells the user.
    void RecoverOldMessages();
    HelpSystem& help() { return *m_help; }

    // The toolbar's button at a position (1 to 17), by its key; the same operations serve the shortcuts and the
    // pop-up menu. A button whose window the program does not have is disabled and does nothing.
    void ToolbarCommand(int position);
    QAction* toolbarButton(int position) const { return m_buttons[static_cast<size_t>(position - 1)]; }
    frmAjoutMessage* editor() const { return m_editor; }
    // Opens the editor on a new message.
    void mnuNouveauMessage_Click();
    void mnuGestionMessage_Click();
    void mnuDesactiverMessage_Click();
    // True while the user has switched the display of messages off.
    bool messagesDisabled() const;

    QTableView* grid(int list) const { return m_grids[static_cast<size_t>(list)]; }
    MessageListModel* listModel(int list) const { return m_models[static_cast<size_t>(list)]; }
    int listCount(int list) const;
    void setSecondaryWindow(SecondaryWindow slot, QWidget* window);

    // The list shown: 0 active, 1 erroneous, 2 displayed.
    int CurrentList = 0;
    // True only while the delete command closes the note of the message it deletes.
    bool DeletingDisplayedMessage = false;
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
    QToolBar* Toolbar1;
    QPushButton* cmdInformation;
    QMenu* mnuMessage;
    QAction* mnuNouveauMessage;
    QAction* mnuGestionMessage;
    QAction* mnuDesactiverMessage;
    QAction* mnuParametres;
    QAction* mnuAide;
    QAction* mnuApropos;
    QAction* mnuQuitter;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLists(QWidget* central);
    void buildLegend(QWidget* central);
    void buildStatusBar();
    void buildToolbar(QWidget* central);
    void buildMenu();
    void addTrayIcon();
    QString trayToolTip() const;
    bool keyPressed(QKeyEvent* key);
    void cmdModifier();
    void cmdSupprimer();
    void cmdConfiguration();
    void openEditor(const QString& caption);
    void selectActiveRow(const QString& id);
    void Timer1_Timer();
    void runDueCheck(const QSet<QString>& minutes);
    // Opens a note for a message and marks the message displayed; false when the mark could not be written.
    bool openNote(const Message& message);
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
    std::array<QAction*, 17> m_buttons{};
    QPointer<frmAjoutMessage> m_editor;
    std::unique_ptr<HelpSystem> m_help;
    QPointer<frmParametres> m_settingsWindow;
    QPointer<frmApropos> m_about;
    std::unique_ptr<QPrinter> m_printer;
    std::array<QTableView*, 3> m_grids{};
    std::array<MessageListModel*, 3> m_models{};
    std::array<QPointer<QWidget>, SecondaryCount> m_secondary{};
    QList<QPointer<frmTavanote>> m_notes;
    DueTicker m_ticker;
    QSet<QString> m_deferredMinutes;  // minutes of ticks that fell while a handler was under way
    bool m_deferredTick = false;
    // What the last due check looked at: a tick of the same minute on an unchanged file has nothing new to open.
    QSet<QString> m_checkedMinutes;
    quint64 m_checkedVersion = 0;
};

}  // namespace tavanote
