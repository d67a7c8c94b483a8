#include "frmGestionMessages.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

#include "app/Startup.h"
#include "common/DateText.h"
#include "common/HandlerScope.h"
#include "common/SettingsStore.h"
#include "common/TextRules.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"
#include "main_window/MessageListModel.h"
#include "main_window/Recovery.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"

namespace tavanote {

namespace {

constexpr int kWidthHidden = 7870;  // twips, legend hidden
constexpr int kWidthShown = 9900;   // twips, legend shown
constexpr int kHeight = 440;        // pixels

struct TabInfo {
    const char* caption;
    const char* key;
    const char* toolTip;
    const char* gridName;
};
const TabInfo kTabs[3] = {
    {"Messages actifs", "actif", "Liste des messages actifs", "MSFactifs"},
    {"Messages érronés", "errones", "Liste des messages érronés", "MSFErrones"},
    {"Messages actuellement affichés", "affiches", "Liste des messages actuellement affichés", "MSFaffiches"},
};

struct Swatch {
    QColor colour;
    const char* caption;
    const char* toolTip;
};
const Swatch kSwatches[10] = {
    {QColor(0, 0, 0), "1 fois", "Couleur du message affiché une fois"},
    {QColor(255, 0, 0), "Horaire", "Couleur du message affiché toutes les heures"},
    {QColor(128, 128, 255), "Journalier", "Couleur du message affiché tous les jours"},
    {QColor(255, 192, 128), "Hebdomadaire", "Couleur du message affiché toutes les semaines"},
    {QColor(0, 192, 0), "Mensuel", "Couleur du message affiché tous les mois"},
    {QColor(0, 255, 255), "Bimensuel", "Couleur du message affiché tous les 2 mois"},
    {QColor(255, 0, 255), "Trimensuel", "Couleur du message affiché tous les 3 mois"},
    {QColor(0, 255, 0), "Semestriel", "Couleur du message affiché tous les 6 mois"},
    {QColor(255, 255, 0), "Annuel", "Couleur du message affiché toutes les années"},
    {QColor(192, 192, 192), "Démarrage", "Couleur du message affiché au démarrage du programme"},
};

const char* const kListHints[3] = {
    "Affichage de la liste des messages actifs",
    "Affichage de la liste des messages érronés",
    "Affichage de la liste des messages actuellement affichés",
};

QString swatchStyle(const QColor& colour) {
    return QStringLiteral("background-color: %1; border: 1px solid #404040;").arg(colour.name());
}

// The colour as the program stores colours: red in the low byte, blue in the high one.
quint32 storedColour(const QColor& colour) {
    return static_cast<quint32>(colour.red()) | (static_cast<quint32>(colour.green()) << 8) |
           (static_cast<quint32>(colour.blue()) << 16);
}

struct ButtonInfo {
    const char* key;
    const char* toolTip;
    QStyle::StandardPixmap icon;
};
// By position: separators have no tool tip; position 15 is the spacer before help and quit.
const ButtonInfo kButtons[17] = {
    {"nouveau", "Nouveau message (Ctrl+N)", QStyle::SP_FileIcon},
    {"modifier", "Modifier un message (Ctrl+M)", QStyle::SP_FileDialogContentsView},
    {"supprimer", "Supprimer un message (Ctrl+S)", QStyle::SP_TrashIcon},
    {"sep4", nullptr, QStyle::SP_CustomBase},
    {"apercu", "Aperçu avant impression/exportation (Ctrl+A)", QStyle::SP_FileDialogInfoView},
    {"sep6", nullptr, QStyle::SP_CustomBase},
    {"configuration", "Configuration de l'imprimante (Ctrl+C)", QStyle::SP_ComputerIcon},
    {"imprimer", "Imprimer (Ctrl+I)", QStyle::SP_DriveFDIcon},
    {"sep9", nullptr, QStyle::SP_CustomBase},
    {"importer", "Importer des messages (Ctrl+O)", QStyle::SP_DialogOpenButton},
    {"exporter", "Exporter (Ctrl+E)", QStyle::SP_DialogSaveButton},
    {"sep12", nullptr, QStyle::SP_CustomBase},
    {"parametres", "Paramètres (Ctrl+P)", QStyle::SP_FileDialogListView},
    {"recuperation", "Récupération des messages de version précédente (Ctrl+R)", QStyle::SP_BrowserReload},
    {"spacer", nullptr, QStyle::SP_CustomBase},
    {"aide", "Aide (F1)", QStyle::SP_DialogHelpButton},
    {"quitter", "Quitter (Esc)", QStyle::SP_DialogCloseButton},
};
// The commands whose windows the program has.
const char* const kWorkingButtons[] = {"nouveau",    "modifier",     "supprimer", "configuration",
                                       "parametres", "recuperation", "aide",      "quitter"};

struct ToolbarHint {
    int from;
    int to;
    const char* text;
};
const ToolbarHint kToolbarHints[] = {
    {0, 350, "Affiche la fenêtre pour créer un nouveau message"},
    {350, 700, "Affiche la fenêtre pour modifier le message sélectionné"},
    {700, 1100, "Supprimer le message sélectionné"},
    {1100, 1500, "Affiche la fenêtre d'aperçu des messages avant l'impression ou l'exportation"},
    {1500, 1900, "Affiche la fenêtre de configuration de l'imprimante"},
    {1900, 2300, "Imprime les messages"},
    {2300, 2700, "Importation de messages"},
    {2700, 3100, "Exportation des messages"},
    {3100, 3500, "Affiche la fenêtre des paramètres"},
    {7000, 7400, "Affiche le fichier d'aide"},
    {7400, 8000, "Quitter le programme"},
};

}  // namespace

frmGestionMessages::frmGestionMessages(Services& services, bool newVersion, QWidget* parent)
    : QMainWindow(parent),
      m_services(services),
      m_newVersion(newVersion),
      m_help(std::make_unique<HelpSystem>(services)) {
    setObjectName(QStringLiteral("frmGestionMessages"));
    setWindowTitle(QStringLiteral("Gestion des messages"));
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);
    buildLists(central);
    buildLegend(central);
    buildStatusBar();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmGestionMessages::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(15000);
    connect(Timer2, &QTimer::timeout, this, &frmGestionMessages::Timer2_Timer);

    buildToolbar(central);
    buildMenu();
    new WindowKeys(this, [this](QKeyEvent* key) { return keyPressed(key); });
    setFixedSize(twips(kWidthShown), kHeight);
}

frmGestionMessages::~frmGestionMessages() {
    // Notes still open go with the program, without their close handling: their messages stay displayed.
    for (const QPointer<frmTavanote>& note : m_notes)
        delete note.data();
    // The editor points back at this window: it goes first, unsaved.
    delete m_editor.data();
    delete m_settingsWindow.data();
    delete m_about.data();
}

void frmGestionMessages::buildLists(QWidget* central) {
    TabStrip1 = new QTabBar(central);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setExpanding(false);
    TabStrip1->setDrawBase(false);
    for (int i = 0; i < 3; ++i) {
        TabStrip1->addTab(QString::fromUtf8(kTabs[i].caption));
        TabStrip1->setTabData(i, QString::fromLatin1(kTabs[i].key));
        TabStrip1->setTabToolTip(i, QString::fromUtf8(kTabs[i].toolTip));
    }
    TabStrip1->setGeometry(twips(120), twips(360), twips(kWidthHidden) - 2 * twips(120), twips(360));
    connect(TabStrip1, &QTabBar::currentChanged, this, [this] { TabStrip1_Click(); });

    const QSize frameSize(twips(kWidthHidden) - 2 * twips(120), 340);
    for (int i = 0; i < 3; ++i) {
        auto* frame = new QFrame(central);
        frame->setObjectName(QStringLiteral("CadreMSF_%1").arg(i));
        frame->setGeometry(QRect(QPoint(twips(120), twips(720)), frameSize));
        auto* title = new QLabel(QString::fromUtf8(kTabs[i].toolTip), frame);
        title->setObjectName(QStringLiteral("lblListe_%1").arg(i));
        title->setGeometry(4, 2, frameSize.width() - 8, 18);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);

        auto* view = new QTableView(frame);
        view->setObjectName(QString::fromLatin1(kTabs[i].gridName));
        view->setToolTip(QString::fromUtf8(kTabs[i].toolTip));
        view->setGeometry(4, 22, frameSize.width() - 8, frameSize.height() - 48);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setWordWrap(false);
        view->verticalHeader()->hide();
        // Fixed row heights: the view never measures its rows, so a long list costs no more to show.
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
        view->horizontalHeader()->setHighlightSections(false);
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        view->setMouseTracking(true);
        view->viewport()->setMouseTracking(true);
        view->viewport()->installEventFilter(this);
        auto* model = new MessageListModel(view);
        view->setModel(model);
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this, view] { PointLegendArrow(view); });
        connect(view, &QTableView::doubleClicked, this,
                [this, view](const QModelIndex& index) { grid_DblClick(view, index); });
        m_grids[static_cast<size_t>(i)] = view;
        m_models[static_cast<size_t>(i)] = model;

        auto* count = new QLabel(QStringLiteral("Nombre de messages: 0 "), frame);
        count->setObjectName(QStringLiteral("lblNombre_%1").arg(i));
        count->setToolTip(QStringLiteral("Nombre total de messages"));
        count->setGeometry(4, frameSize.height() - 22, frameSize.width() - 8, 18);
        count->setMouseTracking(true);
        count->setAttribute(Qt::WA_NoMousePropagation);  // its own hint, not its parent's
        count->installEventFilter(this);
        lblNombre[static_cast<size_t>(i)] = count;
        CadreMSF[static_cast<size_t>(i)] = frame;
    }
    MSFactifs = m_grids[0];
    MSFErrones = m_grids[1];
    MSFaffiches = m_grids[2];
    TabStrip1->setMouseTracking(true);
    TabStrip1->installEventFilter(this);

    cmdLegende = new QPushButton(central);
    cmdLegende->setObjectName(QStringLiteral("cmdLegende"));
    cmdLegende->setToolTip(QStringLiteral("Affiche ou cache la légende des couleurs"));
    cmdLegende->setGeometry(twips(kWidthHidden) - twips(120) - 44, twips(720) + 340 + 2, 44, 24);
    cmdLegende->setMouseTracking(true);
    cmdLegende->installEventFilter(this);
    connect(cmdLegende, &QPushButton::clicked, this, &frmGestionMessages::cmdLegende_Click);
}

void frmGestionMessages::buildLegend(QWidget* central) {
    picLegende = new QFrame(central);
    picLegende->setObjectName(QStringLiteral("picLegende"));
    picLegende->setToolTip(QStringLiteral("Légende des couleurs des messages"));
    picLegende->setFrameShape(QFrame::StyledPanel);
    picLegende->setGeometry(twips(kWidthHidden), twips(360), twips(kWidthShown - kWidthHidden) - 4, 360);
    picLegende->setMouseTracking(true);
    picLegende->installEventFilter(this);
    const int width = picLegende->width();

    const char* const headings[3] = {"Légende des couleurs", "Couleur d'affichage", "Fréquence d'affichage du message"};
    const QRect headingPlaces[3] = {QRect(4, 2, width - 8, 32), QRect(2, 36, 48, 30), QRect(52, 36, width - 54, 30)};
    for (int i = 10; i < 13; ++i) {
        auto* label = new QLabel(QString::fromUtf8(headings[i - 10]), picLegende);
        label->setObjectName(QStringLiteral("Label2_%1").arg(i));
        label->setWordWrap(true);
        label->setGeometry(headingPlaces[i - 10]);
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * (i == 10 ? 0.95 : 0.75));
        font.setBold(i == 10);
        label->setFont(font);
        label->setMouseTracking(true);
        label->setAttribute(Qt::WA_NoMousePropagation);  // its own hint, not its parent's
        label->installEventFilter(this);
        Label2[static_cast<size_t>(i)] = label;
    }
    for (int i = 0; i < 10; ++i) {
        const int top = 70 + i * 28;
        auto* swatch = new QLabel(picLegende);
        swatch->setObjectName(QStringLiteral("lblCouleur_%1").arg(i));
        swatch->setToolTip(QString::fromUtf8(kSwatches[i].toolTip));
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, kSwatches[i].colour);
        swatch->setPalette(palette);
        swatch->setStyleSheet(swatchStyle(kSwatches[i].colour));
        swatch->setGeometry(16, top, 20, 18);
        swatch->setMouseTracking(true);
        swatch->setAttribute(Qt::WA_NoMousePropagation);  // its own hint, not its parent's
        swatch->installEventFilter(this);
        lblCouleur[static_cast<size_t>(i)] = swatch;

        auto* caption = new QLabel(QString::fromUtf8(kSwatches[i].caption), picLegende);
        caption->setObjectName(QStringLiteral("Label2_%1").arg(i));
        caption->setGeometry(40, top, width - 42, 18);
        caption->setMouseTracking(true);
        caption->setAttribute(Qt::WA_NoMousePropagation);  // its own hint, not its parent's
        caption->installEventFilter(this);
        Label2[static_cast<size_t>(i)] = caption;
    }
    imgFleche = new QLabel(QStringLiteral("►"), picLegende);
    imgFleche->setObjectName(QStringLiteral("imgFleche"));
    imgFleche->setToolTip(QStringLiteral("Indicateur de couleur du message sélectionné"));
    imgFleche->setGeometry(3, 70, 12, 18);
    imgFleche->setMouseTracking(true);
    imgFleche->setAttribute(Qt::WA_NoMousePropagation);  // its own hint, not its parent's
    imgFleche->installEventFilter(this);
    imgFleche->hide();
    LinLegende = new QFrame(picLegende);
    LinLegende->setObjectName(QStringLiteral("LinLegende"));
    LinLegende->setFrameShape(QFrame::VLine);
    LinLegende->setGeometry(1, 68, 3, 28 * 10);
    LinLegende->hide();
}

void frmGestionMessages::buildStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
    const char* const tips[3] = {"Information", "Date actuelle", "Heure actuelle"};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panel->setToolTip(QString::fromUtf8(tips[i]));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setMouseTracking(true);
        panel->setAttribute(Qt::WA_NoMousePropagation);  // its own hint, not its parent's
        panel->installEventFilter(this);
        if (i == 0)
            StatusBar1->addWidget(panel, 1);
        else
            StatusBar1->addPermanentWidget(panel);
        StatusPanels[static_cast<size_t>(i)] = panel;
    }
    StatusPanels[0]->setText(QStringLiteral("Pour l'aide, appuyez sur F1..."));
    StatusBar1->setMouseTracking(true);
    StatusBar1->installEventFilter(this);
}

bool frmGestionMessages::Form_Load() {
    const QDateTime now = m_services.clock.now();
    StatusPanels[1]->setText(QLocale(QLocale::French).toString(now.date(), QStringLiteral("  dddd d MMMM yyyy  ")));
    StatusPanels[2]->setText(now.toString(QStringLiteral("  HH:mm:ss  ")));

    const QString path = MessageStore::pathIn(m_services.programFolder);
    const StoreOpenResult opened = m_services.store.open(path);
    if (!opened.ok()) {
        const QString text = opened.fault == StoreFault::Missing
                                 ? QStringLiteral(
                                       "Impossible de trouver le fichier contenant les messages.\n\n"
                                       "Fin du programme")
                                 : MessageStore::faultText(opened, path);
        m_services.dialogs.message(nullptr, text, Icon::Exclamation, Buttons::Ok);
        m_services.store.close();
        Timer1->stop();
        m_quitting = true;
        m_services.platform.endProgram();
        return false;
    }

    runStartupPass(m_services.store, Preferences(m_services.settings).expiry(), naiveNow(m_services.clock.now()));

    // The previous version's messages: offered once after a version change, and on the toolbar while any are left.
    m_recoveryButtonVisible = !m_services.settings.get(QStringLiteral("liste"), QStringLiteral("nombre")).isEmpty();
    if (m_recoveryButtonVisible && m_newVersion) {
        HandlerScope handler;
        if (m_services.dialogs.message(nullptr, recoveryOffer(), Icon::Question, Buttons::YesNo) == Answer::Yes)
            RecoverOldMessages();
    }
    ShowLegend(leadingNumber(m_services.settings.get(kParametres, QStringLiteral("legende"))) != 0);
    DisplayStartupMessages();
    RefreshMessageLists();
    TabStrip1->setCurrentIndex(0);
    TabStrip1_Click();
    SelectedId.clear();
    addTrayIcon();
    // Without a notification area the program would be out of reach: the main window stays on screen.
    if (!m_services.tray.available()) {
        CentreWindow(this);
        show();
    }
    Timer2->start();
    // One check at once: a message due in the minute the program starts in would otherwise wait for a tick that
    // may fall in the next minute, and stay unseen until the next start.
    Timer2_Timer();
    return true;
}

void frmGestionMessages::Timer2_Timer() {
    const QDateTime now = m_services.clock.now();
    const QSet<QString> minutes = m_ticker.minutesFor(now);
    // Switched off by the user: what falls due meanwhile waits for the next start, as when the program is closed.
    if (messagesDisabled())
        return;
    if (!HandlerScope::busy()) {
        runDueCheck(minutes);
        return;
    }
    // A box is open in a handler: the tick runs once the handler returns, for the minutes in which it fell.
    m_deferredMinutes.unite(minutes);
    if (m_deferredTick)
        return;
    m_deferredTick = true;
    HandlerScope::whenIdle(this, [this] {
        m_deferredTick = false;
        const QSet<QString> deferred = std::exchange(m_deferredMinutes, {});
        if (!m_quitting)
            runDueCheck(deferred);
    });
}

void frmGestionMessages::runDueCheck(const QSet<QString>& minutes) {
    const quint64 version = m_services.store.dataVersion();
    if (minutes == m_checkedMinutes && version == m_checkedVersion)
        return;
    MessageList due;
    if (!findDueMessages(m_services.store, minutes, due))
        return;
    const QDateTime now = m_services.clock.now();
    for (const Message& message : due) {
        if (findNote(message.id) || m_ticker.openedBefore(message.id, message.prochainaffichage, now))
            continue;
        if (!openNote(message))
            return;
        m_ticker.remember(message.id, message.prochainaffichage, now);
        RefreshMessageLists();
    }
    m_checkedMinutes = minutes;
    m_checkedVersion = m_services.store.dataVersion();
}

void frmGestionMessages::DisplayStartupMessages() {
    MessageList messages;
    findStartupMessages(m_services.store, messages);
    for (const Message& message : messages) {
        if (!findNote(message.id))
            openNote(message);
    }
}

bool frmGestionMessages::openNote(const Message& message) {
    auto* note = new frmTavanote(m_services, *this);
    note->Form_Load();
    note->setMessage(message);
    note->show();
    m_notes.removeAll(nullptr);
    m_notes.append(note);
    return markDisplayed(m_services.store, message.id);
}

frmTavanote* frmGestionMessages::findNote(qint64 id) const {
    const QString tag = QStringLiteral("Tavanote_%1").arg(id);
    for (const QPointer<frmTavanote>& note : m_notes) {
        if (note && note->tag() == tag)
            return note.data();
    }
    return nullptr;
}

QList<frmTavanote*> frmGestionMessages::openNotes() const {
    QList<frmTavanote*> notes;
    for (const QPointer<frmTavanote>& note : m_notes) {
        if (note)
            notes.append(note.data());
    }
    return notes;
}

void frmGestionMessages::RefreshMessageLists() {
    SetUpListColumns();
    LoadMessageLists();
    ShowListCounts();
}

void frmGestionMessages::SetUpListColumns() {
    const auto& widths = listColumnWidths();
    for (int i = 0; i < 3; ++i) {
        m_models[static_cast<size_t>(i)]->clear();
        QTableView* view = m_grids[static_cast<size_t>(i)];
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
    const std::array<QColor, 10> colours = swatchColours();
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
    for (int i = 0; i < 3; ++i) {
        QFrame* frame = CadreMSF[static_cast<size_t>(i)];
        frame->hide();
        frame->move(twips(120), twips(720));
        frame->setFrameShape(QFrame::NoFrame);
    }
    CadreMSF[static_cast<size_t>(selected)]->show();
    CadreMSF[static_cast<size_t>(selected)]->raise();
    CurrentList = selected;
    PointLegendArrow(grid(CurrentList));
}

bool frmGestionMessages::legendShown() const {
    return cmdLegende->property("tag").toString() == QLatin1String("1");
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
    m_services.settings.set(kParametres, QStringLiteral("legende"), state);
}

void frmGestionMessages::cmdLegende_Click() {
    ShowLegend(!legendShown());
}

std::array<QColor, 10> frmGestionMessages::swatchColours() const {
    std::array<QColor, 10> colours;
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = lblCouleur[i]->palette().color(QPalette::Window);
    return colours;
}

void frmGestionMessages::PointLegendArrow(QTableView* view) {
    // Only the list on show points the arrow: the others are refreshed out of sight.
    if (view != grid(CurrentList))
        return;
    imgFleche->show();
    LinLegende->show();
    // The row's colour: the number column keeps the fixed style of its own.
    const QModelIndex current = view->currentIndex();
    const QVariant brush = view->model()->data(current.siblingAtColumn(1), Qt::ForegroundRole);
    const QColor colour = brush.isValid() ? brush.value<QBrush>().color() : QColor();
    for (size_t i = 0; i < lblCouleur.size(); ++i) {
        if (colour.isValid() && lblCouleur[i]->palette().color(QPalette::Window) == colour) {
            imgFleche->move(imgFleche->x(), lblCouleur[i]->y());
            return;
        }
    }
    imgFleche->hide();
    LinLegende->hide();
}

void frmGestionMessages::grid_DblClick(QTableView* view, const QModelIndex& index) {
    Q_UNUSED(view);
    if (index.column() < 1 || index.row() < 0)
        return;
    ToolbarCommand(2);
}

void frmGestionMessages::Timer1_Timer() {
    StatusPanels[2]->setText(m_services.clock.now().toString(QStringLiteral("  HH:mm:ss  ")));
}

void frmGestionMessages::showHint(const QString& text) {
    StatusPanels[0]->setText(text);
}

QString frmGestionMessages::hintFor(QObject* watched, const QPoint& position) const {
    for (int i = 0; i < 3; ++i) {
        if (watched == m_grids[static_cast<size_t>(i)]->viewport())
            return m_grids[static_cast<size_t>(i)]->toolTip();
        if (watched == lblNombre[static_cast<size_t>(i)])
            return lblNombre[static_cast<size_t>(i)]->text();
    }
    if (watched == Toolbar1 || (watched->parent() == Toolbar1 && watched->isWidgetType())) {
        const int x = static_cast<QWidget*>(watched)->mapTo(Toolbar1, position).x() * 15;
        for (const ToolbarHint& hint : kToolbarHints) {
            if (x >= hint.from && x < hint.to)
                return QString::fromUtf8(hint.text);
        }
        return QString();
    }
    if (watched == cmdInformation)
        return cmdInformation->toolTip();
    if (watched == TabStrip1)
        return QString::fromUtf8(kListHints[std::clamp(CurrentList, 0, 2)]);
    if (watched == cmdLegende || watched == imgFleche || watched == picLegende)
        return static_cast<QWidget*>(watched)->toolTip();
    for (size_t i = 0; i < lblCouleur.size(); ++i) {
        if (watched == lblCouleur[i] || watched == Label2[i]) {
            const QColor colour = lblCouleur[i]->palette().color(QPalette::Window);
            return lblCouleur[i]->toolTip() + QStringLiteral(" [couleur: &H") +
                   QString::number(storedColour(colour), 16).toUpper() + QStringLiteral("&]");
        }
    }
    if (watched == StatusBar1 || (watched->parent() == StatusBar1 && watched->isWidgetType())) {
        const int x = static_cast<QWidget*>(watched)->mapTo(StatusBar1, position).x() * 15;
        if (x < 5000)
            return QStringLiteral("Affichage d'informations d'aide");
        if (x < 6750)
            return QStringLiteral("Affichage de la date actuelle");
        return QStringLiteral("Affichage de la heure actuelle");
    }
    return QString();
}

bool frmGestionMessages::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const QString hint = hintFor(watched, static_cast<QMouseEvent*>(event)->position().toPoint());
        if (!hint.isEmpty())
            showHint(hint);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmGestionMessages::setSecondaryWindow(SecondaryWindow slot, QWidget* window) {
    m_secondary[static_cast<size_t>(slot)] = window;
}

void frmGestionMessages::unloadSecondaryWindows() {
    for (const QPointer<QWidget>& window : m_secondary) {
        if (window && window->isVisible())
            window->close();
    }
}

void frmGestionMessages::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        unloadSecondaryWindows();
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
    QuitProgram(m_services.settings.get(kParametres, QStringLiteral("fin programme")) == QLatin1String("1"));
}

bool frmGestionMessages::QuitProgram(bool confirm) {
    HandlerScope handler;
    const QString question = quitQuestion(listCount(ListActifs), listCount(ListAffiches));
    if (confirm && m_services.dialogs.message(this, question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return false;
    m_services.tray.remove();
    m_services.store.close();
    m_quitting = true;
    Timer1->stop();
    Timer2->stop();
    m_services.platform.endProgram();
    return true;
}

}  // namespace tavanote

namespace tavanote {

void frmGestionMessages::buildToolbar(QWidget* central) {
    Toolbar1 = new QToolBar(central);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setGeometry(0, 0, twips(kWidthShown), twips(360));
    for (int i = 0; i < 17; ++i) {
        const ButtonInfo& info = kButtons[i];
        QAction* action = nullptr;
        if (i == 14) {
            auto* spacer = new QWidget(Toolbar1);
            spacer->setObjectName(QStringLiteral("spacer"));
            spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
            action = Toolbar1->addWidget(spacer);
        } else if (!info.toolTip) {
            action = Toolbar1->addSeparator();
        } else {
            action = Toolbar1->addAction(style()->standardIcon(info.icon), QString());
            action->setToolTip(QString::fromUtf8(info.toolTip));
            bool works = false;
            for (const char* key : kWorkingButtons)
                works = works || qstrcmp(key, info.key) == 0;
            action->setEnabled(works);
            const int position = i + 1;
            connect(action, &QAction::triggered, this, [this, position] { ToolbarCommand(position); });
        }
        action->setObjectName(QLatin1String(info.key));
        m_buttons[static_cast<size_t>(i)] = action;
    }
    Toolbar1->setMouseTracking(true);
    Toolbar1->installEventFilter(this);
    for (QWidget* button : Toolbar1->findChildren<QWidget*>()) {
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }

    cmdInformation = new QPushButton(QStringLiteral("?"), central);
    cmdInformation->setObjectName(QStringLiteral("cmdInformation"));
    cmdInformation->setToolTip(QStringLiteral("Informations sur le programme"));
    cmdInformation->setGeometry(twips(kWidthHidden) - twips(120) - 44 - 28, twips(720) + 340 + 2, 24, 24);
    connect(cmdInformation, &QPushButton::clicked, this, &frmGestionMessages::showAbout);
    cmdInformation->setMouseTracking(true);
    cmdInformation->installEventFilter(this);
}

void frmGestionMessages::buildMenu() {
    mnuMessage = new QMenu(QStringLiteral("Menu"), this);
    mnuMessage->setObjectName(QStringLiteral("mnuMessage"));
    auto item = [this](const char* name, const char* caption) {
        QAction* action = mnuMessage->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mnuNouveauMessage = item("mnuNouveauMessage", "&Nouveau message...");
    mnuGestionMessage = item("mnuGestionMessage", "&Gestion des messages...");
    mnuMessage->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    mnuDesactiverMessage = item("mnuDesactiverMessage", "&Désactiver les messages");
    mnuDesactiverMessage->setCheckable(true);
    mnuParametres = item("mnuParametres", "&Paramètres...");
    mnuMessage->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    mnuAide = item("mnuAide", "&Aide...");
    mnuApropos = item("mnuApropos", "A &propos de...");
    mnuMessage->addSeparator()->setObjectName(QStringLiteral("mnuSep3"));
    mnuQuitter = item("mnuQuitter", "&Quitter");
    mnuMessage->setDefaultAction(mnuApropos);
    connect(mnuParametres, &QAction::triggered, this, &frmGestionMessages::openSettings);
    connect(mnuAide, &QAction::triggered, this, [this] { m_help->ShowHelp(this, QStringLiteral("aide.htm"), 10001); });
    connect(mnuApropos, &QAction::triggered, this, &frmGestionMessages::showAbout);
    connect(mnuNouveauMessage, &QAction::triggered, this, &frmGestionMessages::mnuNouveauMessage_Click);
    connect(mnuGestionMessage, &QAction::triggered, this, &frmGestionMessages::mnuGestionMessage_Click);
    connect(mnuDesactiverMessage, &QAction::triggered, this, &frmGestionMessages::mnuDesactiverMessage_Click);
    connect(mnuQuitter, &QAction::triggered, this, &frmGestionMessages::mnuQuitter_Click);
}

QString frmGestionMessages::trayToolTip() const {
    QString tip = QStringLiteral(":: Tavanote :: affiche automatiquement vos rendez-vous, notes...");
    if (messagesDisabled())
        tip += QStringLiteral("\n(messages désactivés)");
    return tip;
}

void frmGestionMessages::addTrayIcon() {
    m_services.tray.add(trayToolTip(), [this](TrayIcon::Click click, const QPoint& at) {
        // Only the right button opens the menu; every other click on the icon does nothing.
        if (click == TrayIcon::Click::Right)
            mnuMessage->popup(at);
    });
}

bool frmGestionMessages::messagesDisabled() const {
    return mnuDesactiverMessage->isChecked();
}

void frmGestionMessages::mnuDesactiverMessage_Click() {
    m_services.tray.setToolTip(trayToolTip());
}

void frmGestionMessages::mnuGestionMessage_Click() {
    CentreWindow(this);
    show();
    raise();
    activateWindow();
}

bool frmGestionMessages::keyPressed(QKeyEvent* key) {
    if (key->modifiers() & Qt::ControlModifier) {
        static const std::pair<int, int> shortcuts[] = {{Qt::Key_N, 1},  {Qt::Key_M, 2},  {Qt::Key_S, 3},
                                                        {Qt::Key_A, 5},  {Qt::Key_C, 7},  {Qt::Key_I, 8},
                                                        {Qt::Key_O, 10}, {Qt::Key_E, 11}, {Qt::Key_P, 13}};
        for (const auto& [letter, position] : shortcuts) {
            if (key->key() == letter) {
                ToolbarCommand(position);
                return true;
            }
        }
        return false;
    }
    switch (key->key()) {
        case Qt::Key_Escape:
            close();
            return true;
        case Qt::Key_F1:
            ToolbarCommand(16);
            return true;
        case Qt::Key_F2:
            showAbout();
            return true;
        default:
            return false;
    }
}

void frmGestionMessages::ToolbarCommand(int position) {
    QAction* button = toolbarButton(position);
    if (!button || !button->isEnabled())
        return;
    const QString key = button->objectName();
    if (key == QLatin1String("nouveau"))
        mnuNouveauMessage_Click();
    else if (key == QLatin1String("modifier"))
        cmdModifier();
    else if (key == QLatin1String("supprimer"))
        cmdSupprimer();
    else if (key == QLatin1String("configuration"))
        cmdConfiguration();
    else if (key == QLatin1String("parametres"))
        openSettings();
    else if (key == QLatin1String("recuperation"))
        RecoverOldMessages();
    else if (key == QLatin1String("aide"))
        m_help->ShowHelp(this, QStringLiteral("gestionmessage.htm"), 10006);
    else if (key == QLatin1String("quitter"))
        mnuQuitter_Click();
}

void frmGestionMessages::openEditor(const QString& caption) {
    // One editor: an open one is reused, with what the user typed in it.
    if (!m_editor) {
        m_editor = new frmAjoutMessage(m_services, *this);
        setSecondaryWindow(SecAjoutMessage, m_editor);
        m_editor->Form_Load();
    }
    m_editor->setWindowTitle(caption);
    m_editor->SelectedId = SelectedId;
}

void frmGestionMessages::mnuNouveauMessage_Click() {
    SelectedId.clear();
    openEditor(QStringLiteral("Créer un nouveau message"));
    m_editor->txtDate->setText(formatDate(m_services.clock.now().date()));
    m_editor->cboPeriode->setCurrentIndex(0);
    m_editor->show();
    m_editor->txtTitre->setFocus();
}

void frmGestionMessages::cmdModifier() {
    HandlerScope handler;
    if (CurrentList == ListAffiches) {
        m_services.dialogs.message(this,
                                   QStringLiteral("Un message en cours d'affichage ne peut pas être modifié.\n"
                                                  "Veuillez sélectionner un message actif ou érroné."),
                                   Icon::Information, Buttons::Ok);
        return;
    }
    SelectedId = SelectedMessageId(grid(CurrentList));
    if (SelectedId.isEmpty()) {
        m_services.dialogs.message(this, QStringLiteral("Veuillez sélectionner le message que vous désirez modifier."),
                                   Icon::Information, Buttons::Ok);
        return;
    }
    openEditor(QStringLiteral("Modifier le message <") + SelectedTitle + QLatin1Char('>'));
    if (!m_editor->LoadMessageIntoEditor()) {
        m_editor->close();
        RefreshMessageLists();
        return;
    }
    m_editor->show();
}

void frmGestionMessages::cmdSupprimer() {
    HandlerScope handler;
    DeletingDisplayedMessage = false;
    Dialogs& dialogs = m_services.dialogs;
    if (CurrentList == ListAffiches && listCount(ListAffiches) == 0) {
        dialogs.message(this,
                        QStringLiteral("Il n'existe aucun message en cours d'affichage à supprimer.\n"
                                       "Veuillez sélectionner un message actif ou érroné."),
                        Icon::Information, Buttons::Ok);
        return;
    }
    SelectedId = SelectedMessageId(grid(CurrentList));
    if (SelectedId.isEmpty()) {
        dialogs.message(this, QStringLiteral("Veuillez sélectionner le message que vous désirez supprimer."),
                        Icon::Information, Buttons::Ok);
        return;
    }
    const QString question =
        QStringLiteral("Êtes-vous sûr(e) de vouloir supprimer définitivement le message sélectionné ?\n<") +
        SelectedTitle + QLatin1Char('>');
    if (dialogs.message(this, question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;
    const qint64 id = SelectedId.toLongLong();
    if (!m_services.store.remove(id)) {
        dialogs.message(this, QStringLiteral("Impossible de supprimer le message:\n") + m_services.store.lastError(),
                        Icon::Exclamation, Buttons::Ok);
        return;
    }
    if (CurrentList == ListAffiches) {
        if (frmTavanote* note = findNote(id)) {
            DeletingDisplayedMessage = true;
            note->closeForDeletion();
            DeletingDisplayedMessage = false;
        }
    }
    RefreshMessageLists();
    SelectedId.clear();
}

void frmGestionMessages::cmdConfiguration() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    // A cancelled or failed set-up changes nothing and says nothing.
    m_services.dialogs.pageSetup(this, *m_printer);
}

void frmGestionMessages::showHelp(QWidget* window, const QString& topic, int context) {
    m_help->ShowHelp(window, topic, context);
}

void frmGestionMessages::showAbout() {
    if (!m_about) {
        m_about = new frmApropos(m_services, *m_help);
        setSecondaryWindow(SecApropos, m_about);
        m_about->Form_Load();
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void frmGestionMessages::openSettings() {
    if (!m_settingsWindow) {
        m_settingsWindow = new frmParametres(m_services);
        m_settingsWindow->onHelp = [this] {
            m_help->ShowHelp(m_settingsWindow, QStringLiteral("parametres.htm"), 10005);
        };
        m_settingsWindow->onAbout = [this] { showAbout(); };
        setSecondaryWindow(SecParametres, m_settingsWindow);
        m_settingsWindow->Form_Load();
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
}

void frmGestionMessages::RecoverOldMessages() {
    HandlerScope handler;
    const RecoveryResult result = tavanote::RecoverOldMessages(m_services.store, m_services.settings);
    if (result.refreshLists)
        RefreshMessageLists();
    m_services.dialogs.message(this, result.text, result.failed ? Icon::Exclamation : Icon::Information, Buttons::Ok);
    // Nothing left to recover: the command goes.
    m_recoveryButtonVisible = !m_services.settings.get(QStringLiteral("liste"), QStringLiteral("nombre")).isEmpty();
    toolbarButton(14)->setVisible(m_recoveryButtonVisible);
}

void frmGestionMessages::editorSaved(const QString& id) {
    SelectedId = id;
    RefreshMessageLists();
    selectActiveRow(id);
}

void frmGestionMessages::selectActiveRow(const QString& id) {
    MessageListModel* model = listModel(ListActifs);
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->row(row).cells[kIdColumn] == id) {
            MSFactifs->setCurrentIndex(model->index(row, 1));
            return;
        }
    }
}

}  // namespace tavanote
