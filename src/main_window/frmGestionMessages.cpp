#include "frmGestionMessages.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

#include "common/ClockStatusBar.h"
#include "common/HandlerScope.h"
#include "common/Preferences.h"
#include "common/SettingsStore.h"
#include "common/TextRules.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"
#include "main_window/Legend.h"
#include "main_window/MessageListModel.h"
#include "messages/MessageLists.h"
#include "messages/QuitQuestion.h"
#include "messages/Recovery.h"
#include "scheduling/PutOffRule.h"
#include "scheduling/Schedule.h"
#include "store/MessageFile.h"
#include "store/MessageStore.h"

namespace tavanote {

namespace {

// Opens the messages file in use (making the per-user one when it is missing). When it cannot be used the user is
// told, the store stays closed and the result is false: the program ends.
bool openMessageFile(Services& services) {
    const QString path = services.messageFile.isEmpty() && !services.perUserMessageFile
                             ? MessageStore::pathIn(services.programFolder)
                             : services.messageFile;
    if (services.perUserMessageFile) {
        const QString failure = makePerUserMessageFile(path);
        if (!failure.isEmpty()) {
            services.dialogs.message(nullptr, failure + QStringLiteral("\n\nFin du programme"), Icon::Exclamation,
                                     Buttons::Ok);
            return false;
        }
    }
    const StoreOpenResult opened = services.store.open(path);
    if (opened.ok())
        return true;
    const QString text = opened.fault == StoreFault::Missing
                             ? QStringLiteral(
                                   "Impossible de trouver le fichier contenant les messages.\n\n"
                                   "Fin du programme")
                             : MessageStore::faultText(opened, path);
    services.dialogs.message(nullptr, text, Icon::Exclamation, Buttons::Ok);
    services.store.close();
    return false;
}

const char* const kListHints[3] = {
    "Affichage de la liste des messages actifs",
    "Affichage de la liste des messages érronés",
    "Affichage de la liste des messages actuellement affichés",
};

}  // namespace

frmGestionMessages::frmGestionMessages(Services& services, bool newVersion, QWidget* parent)
    : QMainWindow(parent),
      m_services(services),
      m_newVersion(newVersion),
      m_windows(
          services, [this](qint64 id) { editorSaved(id); },
          [this](const MessageList& stored) {
              m_scheduler->catchUp(stored);
              RefreshMessageLists();
          }),
      m_scheduler(std::make_unique<NoteScheduler>(services, *this)) {
    setObjectName(QStringLiteral("frmGestionMessages"));
    setWindowTitle(QStringLiteral("Gestion des messages"));
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);
    buildLists(central);
    picLegende =
        new Legend(central, QRect(twips(kWidthHidden), twips(360), twips(kWidthShown - kWidthHidden) - 4, 360), this);
    buildStatusBar();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmGestionMessages::Timer1_Timer);
    m_dueTimer = new DueTimer(
        m_services.clock, m_services.clock.wallAlarm(), [this] { m_scheduler->tick(); }, this);

    buildToolbar(central);
    buildMenu();
    installWindowKeys(this, {&m_services.help, HelpContext::Messages, &m_windows,
                             [this](QKeyEvent* key) { return keyPressed(key); }});
    setFixedSize(twips(kWidthShown), kHeight);
}

// Notes and secondary windows go first, without their close handling: their messages stay displayed.
frmGestionMessages::~frmGestionMessages() = default;

bool frmGestionMessages::Form_Load() {
    const QDateTime now = m_services.clock.now();
    StatusBar1->showDate(now);
    if (!openMessageFile(m_services)) {
        Timer1->stop();
        endProgram(1);
        return false;
    }
    const QDateTime passedAt = naiveNow(m_services.clock.now());
    const StartupPassResult pass = runStartupPass(m_services.store, m_services.preferences.expiry(), passedAt);
    const QString passReport = startupPassReport(pass);
    if (!passReport.isEmpty())
        m_services.dialogs.message(nullptr, passReport, Icon::Exclamation, Buttons::Ok);
    // Whatever falls due from now on, while a question below is open too, is the due check's.
    m_scheduler->checkFrom(passedAt);

    // The previous version's messages: offered once after a version change, and on the toolbar while any are left.
    m_recoveryButtonVisible = !m_services.settings.get(QStringLiteral("liste"), QStringLiteral("nombre")).isEmpty();
    if (m_recoveryButtonVisible && m_newVersion &&
        m_services.dialogs.message(nullptr, recoveryOffer(), Icon::Question, Buttons::YesNo) == Answer::Yes)
        RecoverOldMessages();
    ShowLegend(m_services.preferences.showLegend());
    m_scheduler->openStartupNotes(pass.late);
    RefreshMessageLists();
    TabStrip1->setCurrentIndex(0);
    TabStrip1_Click();
    addTrayIcon();
    // Without a notification area the program would be out of reach: the main window stays on screen.
    if (!m_services.tray.available()) {
        CentreWindow(this);
        show();
    }
    // One check at once (a message due in the minute the program starts in), then one at each minute's start.
    m_dueTimer->start();
    return true;
}

void frmGestionMessages::Timer2_Timer() {
    m_dueTimer->ring();
}

void frmGestionMessages::RefreshMessageLists() {
    SetUpListColumns();
    LoadMessageLists();
    ShowListCounts();
}

void frmGestionMessages::SetUpListColumns() {
    const auto& widths = listColumnWidths();
    for (QTableView* view : m_grids) {
        for (int c = 0; c < kListColumns; ++c) {
            const int width = widths[static_cast<size_t>(c)];
            view->setColumnHidden(c, width == 0);
            if (width > 0)
                view->setColumnWidth(c, twips(width));
        }
    }
}

void frmGestionMessages::LoadMessageLists() {
    MessageListsData data = loadMessageLists(m_services.store);
    const std::array<QColor, 10> colours = picLegende->colours();
    for (int i = 0; i < 3; ++i) {
        MessageListModel* model = m_models[static_cast<size_t>(i)];
        model->setColours(colours);
        model->setRows(std::move(data.lists[static_cast<size_t>(i)]));
        // As each row is added it becomes the current one: the last row is current when the list is filled.
        if (model->rowCount() > 0)
            m_grids[static_cast<size_t>(i)]->setCurrentIndex(model->index(model->rowCount() - 1, 1));
    }
}

void frmGestionMessages::ShowListCounts() {
    const char* const captions[3] = {
        "Nombre de messages actifs: ", "Nombre de messages érronés: ", "Nombre de messages actuellement affichés: "};
    for (int i = 0; i < 3; ++i)
        lblNombre[static_cast<size_t>(i)]->setText(QString::fromUtf8(captions[i]) + QString::number(listCount(i)));
}

int frmGestionMessages::listCount(int list) const {
    return m_models[static_cast<size_t>(list)]->rowCount();
}

QString frmGestionMessages::SelectedMessageId(QTableView* view) {
    auto* model = static_cast<MessageListModel*>(view->model());
    if (model->rowCount() < 1)
        return QString();
    int row = view->currentIndex().row();
    if (row < 0 || row >= model->rowCount())
        row = model->rowCount() - 1;
    SelectedTitle = model->row(row).cells[1];
    return model->row(row).cells[kIdColumn];
}

void frmGestionMessages::TabStrip1_Click() {
    const int selected = std::max(0, TabStrip1->currentIndex());
    for (QFrame* frame : CadreMSF) {
        frame->hide();
        frame->move(twips(120), twips(720));
        frame->setFrameShape(QFrame::NoFrame);
    }
    CadreMSF[static_cast<size_t>(selected)]->show();
    CadreMSF[static_cast<size_t>(selected)]->raise();
    CurrentList = selected;
    PointLegendArrow(grid(CurrentList));
}

void frmGestionMessages::ShowLegend(bool show) {
    setFixedSize(twips(show ? kWidthShown : kWidthHidden), kHeight);
    cmdLegende->setText(show ? QStringLiteral("<<<") : QStringLiteral(">>>"));
    cmdLegende->setToolTip(show ? QStringLiteral("Cacher la légende des couleurs des messages")
                                : QStringLiteral("Afficher la légende des couleurs des messages"));
    picLegende->setVisible(show);
    // The toolbar spans the window; its spacer keeps the help and quit buttons at the right edge.
    Toolbar1->setFixedWidth(width());
    toolbarButton(14)->setVisible(m_recoveryButtonVisible);
    const QString state = show ? QStringLiteral("1") : QStringLiteral("0");
    cmdLegende->setProperty("tag", state);
    m_services.preferences.setShowLegend(show);
    m_services.settings.save();
}

void frmGestionMessages::PointLegendArrow(QTableView* view) {
    // Only the list on show points the arrow: the others are refreshed out of sight.
    if (view != grid(CurrentList))
        return;
    // The row's colour: the number column keeps the fixed style of its own.
    const QVariant brush = view->model()->data(view->currentIndex().siblingAtColumn(1), Qt::ForegroundRole);
    picLegende->pointAt(brush.isValid() ? brush.value<QBrush>().color() : QColor());
}

void frmGestionMessages::Timer1_Timer() {
    StatusBar1->showTime(m_services.clock.now());
}

QString frmGestionMessages::hintFor(QObject* watched, const QPoint& position) const {
    // A list, or the number column laid over it.
    if (auto* grid = qobject_cast<QAbstractItemView*>(watched->parent()); grid && grid->viewport() == watched)
        return grid->toolTip();
    for (int i = 0; i < 3; ++i) {
        if (watched == lblNombre[static_cast<size_t>(i)])
            return lblNombre[static_cast<size_t>(i)]->text();
    }
    if (watched == Toolbar1 || (watched->parent() == Toolbar1 && watched->isWidgetType())) {
        // Each button its own hint, whatever its width; the gaps and separators leave the panel as it was.
        const QAction* action = Toolbar1->actionAt(static_cast<QWidget*>(watched)->mapTo(Toolbar1, position));
        for (const Command& command : commands()) {
            if (action && command.hint && action->objectName() == QLatin1String(command.key))
                return QString::fromUtf8(command.hint);
        }
        return QString();
    }
    if (watched == TabStrip1)
        return QString::fromUtf8(kListHints[std::clamp(CurrentList, 0, 2)]);
    if (watched == cmdLegende || watched == cmdInformation)
        return static_cast<QWidget*>(watched)->toolTip();
    const char* const panelHints[3] = {"Affichage d'informations d'aide", "Affichage de la date actuelle",
                                       "Affichage de la heure actuelle"};
    for (size_t i = 0; i < StatusPanels.size(); ++i) {
        if (watched == StatusPanels[i])
            return QString::fromUtf8(panelHints[i]);
    }
    return picLegende->hintFor(watched);
}

bool frmGestionMessages::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const QString hint = hintFor(watched, static_cast<QMouseEvent*>(event)->position().toPoint());
        if (!hint.isEmpty())
            StatusPanels[0]->setText(hint);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmGestionMessages::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_windows.closeAll();
    } else if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) &&
               m_services.tray.available()) {
        // Minimising hides the window: the tray icon is the way back.
        setWindowState(windowState() & ~Qt::WindowMinimized);
        QTimer::singleShot(0, this, &QWidget::hide);
    }
    QMainWindow::changeEvent(event);
}

void frmGestionMessages::showEvent(QShowEvent* event) {
    // The clock runs only while someone can see it: a hidden program wakes up only for the due check.
    Timer1_Timer();
    Timer1->start();
    QMainWindow::showEvent(event);
}

void frmGestionMessages::hideEvent(QHideEvent* event) {
    Timer1->stop();
    QMainWindow::hideEvent(event);
}

void frmGestionMessages::closeEvent(QCloseEvent* event) {
    if (m_quitting) {
        event->accept();
        return;
    }
    // The main window never closes by itself: a close request is the quit command.
    event->ignore();
    mnuQuitter_Click();
}

void frmGestionMessages::mnuQuitter_Click() {
    QuitProgram(m_services.preferences.askBeforeQuitting());
}

bool frmGestionMessages::QuitProgram(bool confirm) {
    const QString question = quitQuestion(listCount(ListActifs), listCount(ListAffiches));
    if (confirm && m_services.dialogs.message(this, question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return false;
    m_services.tray.remove();
    m_services.store.close();
    Timer1->stop();
    m_dueTimer->stop();
    endProgram(0);
    return true;
}

void frmGestionMessages::endProgram(int status) {
    m_quitting = true;
    m_dueTimer->stop();
    m_scheduler->stop();
    m_services.platform.endProgram(status);
}

bool frmGestionMessages::keyPressed(QKeyEvent* key) {
    const QKeyCombination pressed(key->modifiers() & Qt::ControlModifier, Qt::Key(key->key()));
    for (const Command& command : commands()) {
        if (command.shortcut == pressed) {
            ToolbarCommand(command.position);
            return true;
        }
    }
    // Other Ctrl letters do nothing; F2 and the rest are the keys every window shares.
    return (key->modifiers() & Qt::ControlModifier) != 0 && key->key() != Qt::Key_Control;
}

void frmGestionMessages::ToolbarCommand(int position) {
    QAction* button = toolbarButton(position);
    if (!button || !button->isEnabled())
        return;
    for (const Command& command : commands()) {
        if (command.position == position && command.handler)
            (this->*command.handler)();
    }
}

void frmGestionMessages::showImport() {
    m_windows.showImport();
}

void frmGestionMessages::mnuNouveauMessage_Click() {
    m_windows.startNew();
}

void frmGestionMessages::cmdModifier() {
    // A displayed message whose note is put off may be changed: that cancels the note's return.
    if (CurrentList == ListAffiches && !isPutOff(SelectedMessageId(grid(CurrentList)).toLongLong())) {
        m_services.dialogs.message(this,
                                   QStringLiteral("Un message en cours d'affichage ne peut pas être modifié.\n"
                                                  "Veuillez sélectionner un message actif ou érroné."),
                                   Icon::Information, Buttons::Ok);
        return;
    }
    const QString id = SelectedMessageId(grid(CurrentList));
    if (id.isEmpty()) {
        m_services.dialogs.message(this, QStringLiteral("Veuillez sélectionner le message que vous désirez modifier."),
                                   Icon::Information, Buttons::Ok);
        return;
    }
    if (!m_windows.startEdit(id.toLongLong(), SelectedTitle))
        RefreshMessageLists();
}

void frmGestionMessages::cmdSupprimer() {
    // The delete and the closing of its note are one step: a tick waits for both.
    HandlerScope handler;
    m_deletingDisplayedMessage = false;
    Dialogs& dialogs = m_services.dialogs;
    if (CurrentList == ListAffiches && listCount(ListAffiches) == 0) {
        dialogs.message(this,
                        QStringLiteral("Il n'existe aucun message en cours d'affichage à supprimer.\n"
                                       "Veuillez sélectionner un message actif ou érroné."),
                        Icon::Information, Buttons::Ok);
        return;
    }
    const QString selected = SelectedMessageId(grid(CurrentList));
    if (selected.isEmpty()) {
        dialogs.message(this, QStringLiteral("Veuillez sélectionner le message que vous désirez supprimer."),
                        Icon::Information, Buttons::Ok);
        return;
    }
    const QString question =
        QStringLiteral("Êtes-vous sûr(e) de vouloir supprimer définitivement le message sélectionné ?\n<") +
        SelectedTitle + QLatin1Char('>');
    if (dialogs.message(this, question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;
    const qint64 id = selected.toLongLong();
    // A note put off is forgotten with its message.
    MessageStore& store = m_services.store;
    MessageStore::Transaction transaction(store);
    if (!store.remove(id) || !store.removePutOff(id) || (transaction.isOpen() && !transaction.commit())) {
        dialogs.message(
            this,
            storeFailureText(QStringLiteral("Impossible de supprimer le message: il reste tel qu'il était."),
                             m_services.store.failure()),
            Icon::Exclamation, Buttons::Ok);
        return;
    }
    if (CurrentList == ListAffiches) {
        if (frmTavanote* note = findNote(id)) {
            m_deletingDisplayedMessage = true;
            note->closeForDeletion();
            m_deletingDisplayedMessage = false;
        }
    }
    RefreshMessageLists();
}

bool frmGestionMessages::isPutOff(qint64 id) {
    return !findNote(id) && heldByPutOff(m_services.store).contains(id);
}

bool frmGestionMessages::reportListEmpty(const QString& purpose) {
    if (listCount(CurrentList) > 0)
        return false;
    const char* const words[3] = {"actifs", "érronés", "affichés"};
    m_services.dialogs.message(this,
                               QStringLiteral("Il n'existe aucuns messages ") +
                                   QString::fromUtf8(words[std::clamp(CurrentList, 0, 2)]) +
                                   QStringLiteral(" actuellement à ") + purpose + QLatin1Char('.'),
                               Icon::Information, Buttons::Ok);
    return true;
}

void frmGestionMessages::cmdApercu() {
    if (!reportListEmpty(QStringLiteral("afficher dans l'aperçu")))
        m_windows.showReport(CurrentList);
}

void frmGestionMessages::cmdImprimer() {
    if (!reportListEmpty(QStringLiteral("imprimer")))
        m_windows.printReport(CurrentList);
}

void frmGestionMessages::cmdExporter() {
    if (!reportListEmpty(QStringLiteral("exporter")))
        m_windows.exportReport(CurrentList);
}

void frmGestionMessages::cmdConfiguration() {
    // A cancelled or failed set-up changes nothing and says nothing.
    m_services.dialogs.pageSetup(this, m_windows.printer());
}

void frmGestionMessages::cmdAide() {
    m_services.help.show(this, HelpContext::Messages);
}

void frmGestionMessages::showSettings() {
    m_windows.showSettings();
}

void frmGestionMessages::RecoverOldMessages() {
    // The rows are written before the box that tells of them: a tick waits for both.
    HandlerScope handler;
    const RecoveryResult result = tavanote::RecoverOldMessages(m_services.store, m_services.settings);
    if (result.refreshLists)
        RefreshMessageLists();
    m_services.dialogs.message(this, result.text, result.failed ? Icon::Exclamation : Icon::Information, Buttons::Ok);
    // Nothing left to recover: the command goes.
    m_recoveryButtonVisible = !m_services.settings.get(QStringLiteral("liste"), QStringLiteral("nombre")).isEmpty();
    toolbarButton(14)->setVisible(m_recoveryButtonVisible);
}

void frmGestionMessages::editorSaved(qint64 id) {
    RefreshMessageLists();
    MessageListModel* model = listModel(ListActifs);
    const QString text = QString::number(id);
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->row(row).cells[kIdColumn] == text) {
            grid(ListActifs)->setCurrentIndex(model->index(row, 1));
            return;
        }
    }
}

}  // namespace tavanote
