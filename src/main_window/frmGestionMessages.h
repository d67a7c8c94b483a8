#pragma once

#include <QKeyCombination>
#include <QMainWindow>
#include <QStyle>
#include <array>
#include <memory>

#include "common/Services.h"
#include "main_window/SecondaryWindows.h"
#include "scheduling/DueTimer.h"
#include "scheduling/NoteScheduler.h"

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QModelIndex;
class QPushButton;
class QTabBar;
class QTableView;
class QTimer;
class QToolBar;

namespace tavanote {

class ClockStatusBar;

class Legend;
class MessageListModel;

// The main window: the three lists of messages (active, erroneous, displayed), the colour legend, the status
// bar with its hints, date and time, and the commands of its toolbar, keys and tray menu. It is loaded at start
// and lives, mostly hidden, until the program ends.
class frmGestionMessages;

// One command of the toolbar, its shortcut and its hint. The positions between the commands are separators;
// 15 is the spacer that keeps help and quit at the right edge.
struct Command {
    const char* key;
    int position;
    QKeyCombination shortcut;  // none when empty
    const char* toolTip;
    const char* hint;  // shown in the status bar while the mouse is over the button; none leaves it unchanged
    QStyle::StandardPixmap icon;
    void (frmGestionMessages::*handler)();  // none while the program does not have the command's window
};

class frmGestionMessages : public QMainWindow, public NoteHost {
    Q_OBJECT
public:
    frmGestionMessages(Services& services, bool newVersion, QWidget* parent = nullptr);
    ~frmGestionMessages() override;

    // The start-up work, in its fixed order. False when the message file cannot be used: the user was told
    // and the program is ending.
    bool Form_Load();

    void RefreshMessageLists() override;
    // The id of the grid's current row (empty for an empty list); its title becomes the selected title.
    QString SelectedMessageId(QTableView* grid);
    // A displayed message whose note is put off, not on screen.
    bool isPutOff(qint64 id);
    void ShowLegend(bool show);

    // The toolbar's button at a position (1 to 17); the shortcuts and the pop-up menu run the same commands.
    // A button whose window the program does not have yet is disabled and does nothing.
    void ToolbarCommand(int position);
    QAction* toolbarButton(int position) const { return m_buttons[static_cast<size_t>(position - 1)]; }
    void mnuNouveauMessage_Click();
    void mnuQuitter_Click();
    // Ends the program, asking first when confirm is true. False when the user chose to go on.
    bool QuitProgram(bool confirm);
    // One check of the due check, then armed again for the start of the next minute.
    void Timer2_Timer();
    // The due check's timer: armed for the start of the next minute of the wall clock.
    const DueTimer& dueTimer() const { return *m_dueTimer; }
    // True while the user has switched the display of messages off.
    bool messagesDisabled() const;

    QTableView* grid(int list) const { return m_grids[static_cast<size_t>(list)]; }
    MessageListModel* listModel(int list) const { return m_models[static_cast<size_t>(list)]; }
    frmAjoutMessage* editor() const { return m_windows.editor(); }
    frmEtat* report() const { return m_windows.report(); }
    frmTavanote* findNote(qint64 id) const { return m_scheduler->findNote(id); }
    QList<frmTavanote*> openNotes() const { return m_scheduler->openNotes(); }
    // Start-up notes are still opening, a few at a turn of the event loop.
    bool openingNotes() const { return m_scheduler->opening(); }

    bool deletingDisplayedMessage() const override { return m_deletingDisplayedMessage; }
    void showAbout() override { m_windows.showAbout(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kWidthHidden = 7870;  // twips, legend hidden
    static constexpr int kWidthShown = 9900;   // twips, legend shown
    static constexpr int kHeight = 440;        // pixels

    static const std::array<Command, 13>& commands();
    void buildLists(QWidget* central);
    void buildStatusBar();
    void buildToolbar(QWidget* central);
    void buildMenu();
    void addTrayIcon();
    QString trayToolTip() const;
    bool keyPressed(QKeyEvent* key);
    void cmdModifier();
    void cmdSupprimer();
    // The report commands; each first says so when the list shown is empty.
    bool reportListEmpty(const QString& purpose);
    void cmdApercu();
    void cmdImprimer();
    void cmdExporter();
    void cmdConfiguration();
    void cmdAide();
    void showSettings();
    void showImport();
    void RecoverOldMessages();
    void editorSaved(qint64 id);
    void TabStrip1_Click();
    void SetUpListColumns();
    void LoadMessageLists();
    void ShowListCounts();
    void PointLegendArrow(QTableView* grid);
    void Timer1_Timer();
    int listCount(int list) const;
    QString hintFor(QObject* watched, const QPoint& position) const;
    // Ends the program with this exit status (non-zero for a start that failed).
    void endProgram(int status);

    Services& m_services;
    bool m_newVersion;
    bool m_recoveryButtonVisible = false;
    bool m_quitting = false;
    // The list shown: 0 active, 1 erroneous, 2 displayed.
    int CurrentList = 0;
    // True only while the delete command closes the note of the message it deletes.
    bool m_deletingDisplayedMessage = false;
    QString SelectedTitle;

    QTabBar* TabStrip1;
    std::array<QFrame*, 3> CadreMSF{};
    std::array<QLabel*, 3> lblNombre{};
    ClockStatusBar* StatusBar1;
    std::array<QLabel*, 3> StatusPanels{};  // hints, date, time
    Legend* picLegende;
    QPushButton* cmdLegende;
    QPushButton* cmdInformation;
    QTimer* Timer1;
    DueTimer* m_dueTimer;
    QToolBar* Toolbar1;
    QMenu* mnuMessage;
    QAction* mnuDesactiverMessage;
    std::array<QAction*, 17> m_buttons{};
    std::array<QTableView*, 3> m_grids{};
    std::array<MessageListModel*, 3> m_models{};
    SecondaryWindows m_windows;
    std::unique_ptr<NoteScheduler> m_scheduler;
};

}  // namespace tavanote
