// The controls of the main window: the lists and their tabs, the status bar, the toolbar with its table of
// commands and the tray menu.
#include <QAction>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>

#include "common/ClockStatusBar.h"
#include "common/HelpContext.h"
#include "common/WindowHelpers.h"
#include "main_window/FrozenColumn.h"
#include "main_window/MessageListModel.h"
#include "main_window/frmGestionMessages.h"

namespace tavanote {

namespace {

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

}  // namespace

// The toolbar's commands, in button order: the toolbar, the Ctrl keys, the hints and the dispatch all read it.
const std::array<Command, 13>& frmGestionMessages::commands() {
    using F = frmGestionMessages;
    static const std::array<Command, 13> table = {{
        {"nouveau", 1, Qt::CTRL | Qt::Key_N, "Nouveau message (Ctrl+N)",
         "Affiche la fenêtre pour créer un nouveau message", QStyle::SP_FileIcon, &F::mnuNouveauMessage_Click},
        {"modifier", 2, Qt::CTRL | Qt::Key_M, "Modifier un message (Ctrl+M)",
         "Affiche la fenêtre pour modifier le message sélectionné", QStyle::SP_FileDialogContentsView, &F::cmdModifier},
        {"supprimer", 3, Qt::CTRL | Qt::Key_S, "Supprimer un message (Ctrl+S)", "Supprimer le message sélectionné",
         QStyle::SP_TrashIcon, &F::cmdSupprimer},
        {"apercu", 5, Qt::CTRL | Qt::Key_A, "Aperçu avant impression/exportation (Ctrl+A)",
         "Affiche la fenêtre d'aperçu des messages avant l'impression ou l'exportation", QStyle::SP_FileDialogInfoView,
         &F::cmdApercu},
        {"configuration", 7, Qt::CTRL | Qt::Key_C, "Configuration de l'imprimante (Ctrl+C)",
         "Affiche la fenêtre de configuration de l'imprimante", QStyle::SP_ComputerIcon, &F::cmdConfiguration},
        {"imprimer", 8, Qt::CTRL | Qt::Key_I, "Imprimer (Ctrl+I)", "Imprime les messages", QStyle::SP_DriveFDIcon,
         &F::cmdImprimer},
        {"importer", 10, Qt::CTRL | Qt::Key_O, "Importer des messages (Ctrl+O)", "Importation de messages",
         QStyle::SP_DialogOpenButton, &F::showImport},
        {"exporter", 11, Qt::CTRL | Qt::Key_E, "Exporter (Ctrl+E)", "Exportation des messages",
         QStyle::SP_DialogSaveButton, &F::cmdExporter},
        {"parametres", 13, Qt::CTRL | Qt::Key_P, "Paramètres (Ctrl+P)", "Affiche la fenêtre des paramètres",
         QStyle::SP_FileDialogListView, &F::showSettings},
        // Ctrl+R is named in the tool tip but was never bound.
        {"recuperation",
         14,
         {},
         "Récupération des messages de version précédente (Ctrl+R)",
         nullptr,
         QStyle::SP_BrowserReload,
         &F::RecoverOldMessages},
        {"aide", 16, QKeyCombination(Qt::Key_F1), "Aide (F1)", "Affiche le fichier d'aide", QStyle::SP_DialogHelpButton,
         &F::cmdAide},
        {"quitter", 17, QKeyCombination(Qt::Key_Escape), "Quitter (Esc)", "Quitter le programme",
         QStyle::SP_DialogCloseButton, &F::mnuQuitter_Click},
        {"spacer", 15, {}, nullptr, nullptr, QStyle::SP_CustomBase, nullptr},
    }};
    return table;
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
        auto* number = new FrozenColumn(view);
        number->viewport()->setMouseTracking(true);
        number->viewport()->installEventFilter(this);
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this, view] { PointLegendArrow(view); });
        connect(view, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
            if (index.column() >= 1 && index.row() >= 0)
                ToolbarCommand(2);
        });
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
    TabStrip1->setMouseTracking(true);
    TabStrip1->installEventFilter(this);

    cmdLegende = new QPushButton(central);
    cmdLegende->setObjectName(QStringLiteral("cmdLegende"));
    cmdLegende->setToolTip(QStringLiteral("Affiche ou cache la légende des couleurs"));
    cmdLegende->setGeometry(twips(kWidthHidden) - twips(120) - 44, twips(720) + 340 + 2, 44, 24);
    cmdLegende->setMouseTracking(true);
    cmdLegende->installEventFilter(this);
    connect(cmdLegende, &QPushButton::clicked, this,
            [this] { ShowLegend(cmdLegende->property("tag").toString() != QLatin1String("1")); });
}

void frmGestionMessages::buildStatusBar() {
    auto* bar =
        new ClockStatusBar(this, QStringLiteral("Information"), QStringLiteral("Pour l'aide, appuyez sur F1..."), this);
    setStatusBar(bar);
    StatusBar1 = bar;
    StatusPanels = bar->panels;
}

void frmGestionMessages::buildToolbar(QWidget* central) {
    Toolbar1 = new QToolBar(central);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setGeometry(0, 0, twips(kWidthShown), twips(360));
    for (int position = 1; position <= 17; ++position) {
        const auto& table = commands();
        const auto command =
            std::find_if(table.begin(), table.end(), [position](const Command& c) { return c.position == position; });
        QAction* action = nullptr;
        if (command == table.end()) {
            action = Toolbar1->addSeparator();
            action->setObjectName(QStringLiteral("sep%1").arg(position));
        } else if (!command->toolTip) {
            auto* spacer = new QWidget(Toolbar1);
            spacer->setObjectName(QStringLiteral("spacer"));
            spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
            action = Toolbar1->addWidget(spacer);
            action->setObjectName(QStringLiteral("spacer"));
        } else {
            action = Toolbar1->addAction(style()->standardIcon(command->icon), QString());
            action->setObjectName(QLatin1String(command->key));
            action->setToolTip(QString::fromUtf8(command->toolTip));
            action->setEnabled(command->handler != nullptr);
            connect(action, &QAction::triggered, this, [this, position] { ToolbarCommand(position); });
        }
        m_buttons[static_cast<size_t>(position - 1)] = action;
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
    auto item = [this](const char* name, const char* caption, auto handler) {
        QAction* action = mnuMessage->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto separator = [this](const char* name) { mnuMessage->addSeparator()->setObjectName(QLatin1String(name)); };
    item("mnuNouveauMessage", "&Nouveau message...", [this] { mnuNouveauMessage_Click(); });
    item("mnuGestionMessage", "&Gestion des messages...", [this] {
        CentreWindow(this);
        show();
        raise();
        activateWindow();
    });
    separator("mnuSep1");
    mnuDesactiverMessage = item("mnuDesactiverMessage", "&Désactiver les messages", [this] {
        m_scheduler->setSuspended(messagesDisabled());
        m_services.tray.setToolTip(trayToolTip());
    });
    mnuDesactiverMessage->setCheckable(true);
    item("mnuParametres", "&Paramètres...", [this] { showSettings(); });
    separator("mnuSep2");
    item("mnuAide", "&Aide...", [this] { m_services.help.show(this, HelpContext::General); });
    mnuMessage->setDefaultAction(item("mnuApropos", "A &propos de...", [this] { showAbout(); }));
    separator("mnuSep3");
    item("mnuQuitter", "&Quitter", [this] { mnuQuitter_Click(); });
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

}  // namespace tavanote
