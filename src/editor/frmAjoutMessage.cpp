#include "frmAjoutMessage.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/ClockStatusBar.h"
#include "common/DateText.h"
#include "common/HandlerScope.h"
#include "common/HelpContext.h"
#include "common/SettingsStore.h"
#include "common/TextRules.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"
#include "editor/DateFields.h"
#include "editor/EditorRules.h"
#include "editor/FieldInput.h"
#include "editor/frmCalendrier.h"
#include "editor/frmHeure.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"

namespace tavanote {

namespace {

const char* const kHelpHint = "Pour l'aide, appuyez sur la touche F1...";

QLineEdit* dateTimeField(QWidget* parent, const char* name, int length, const char* toolTip) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setMaxLength(length);
    field->setAlignment(Qt::AlignCenter);
    field->setToolTip(QString::fromUtf8(toolTip));
    return field;
}

QToolButton* pickerButton(QWidget* parent, const QString& name, const char* toolTip, QStyle::StandardPixmap icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(QString::fromUtf8(toolTip));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

frmAjoutMessage::frmAjoutMessage(Services& services, EditorHost& host, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_host(host) {
    setObjectName(QStringLiteral("frmAjoutMessage"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* central = new QWidget(this);
    setCentralWidget(central);

    txtTitre = new QLineEdit(central);
    txtTitre->setObjectName(QStringLiteral("txtTitre"));
    txtTitre->setMaxLength(30);
    txtTitre->setToolTip(QStringLiteral("Titre du message à afficher"));
    txtTexte = new QPlainTextEdit(central);
    txtTexte->setObjectName(QStringLiteral("txtTexte"));
    txtTexte->setToolTip(QStringLiteral("Texte du message à afficher"));
    txtTexte->setTabChangesFocus(true);

    Frame1 = new QFrame(central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    txtDate = dateTimeField(Frame1, "txtDate", 10, "Date d'affichage du message");
    txtHeure = dateTimeField(Frame1, "txtHeure", 5, "Heure d'affichage du message");
    txtDateFin = dateTimeField(Frame1, "txtDateFin", 10, "Date du dernier affichage du message");
    for (int i = 0; i < 2; ++i)
        cmdCalendrier[static_cast<size_t>(i)] =
            pickerButton(Frame1, QStringLiteral("cmdCalendrier_%1").arg(i), "Affiche le calendrier",
                         QStyle::SP_FileDialogDetailedView);
    cmdHeure = pickerButton(Frame1, QStringLiteral("cmdHeure"), "Affiche l'heure", QStyle::SP_BrowserReload);
    cboPeriode = new QComboBox(Frame1);
    cboPeriode->setObjectName(QStringLiteral("cboPeriode"));
    cboPeriode->setToolTip(QStringLiteral("Periodicité du message"));
    cboPeriode->setCursor(Qt::PointingHandCursor);

    const char* const captions[6] = {
        "Titre:", "Texte:", "Date:", "Heure:", "Periodicité:", "Date de fin si le message est periodique:"};
    for (int i = 0; i < 6; ++i) {
        auto* label = new QLabel(QString::fromUtf8(captions[i]), i < 2 ? central : Frame1);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Label1[static_cast<size_t>(i)] = label;
    }

    auto* frameGrid = new QGridLayout(Frame1);
    frameGrid->addWidget(Label1[2], 0, 0);
    frameGrid->addWidget(txtDate, 0, 1);
    frameGrid->addWidget(cmdCalendrier[0], 0, 2);
    frameGrid->addWidget(Label1[3], 0, 3);
    frameGrid->addWidget(txtHeure, 0, 4);
    frameGrid->addWidget(cmdHeure, 0, 5);
    frameGrid->addWidget(Label1[4], 1, 0);
    frameGrid->addWidget(cboPeriode, 1, 1, 1, 5);
    frameGrid->addWidget(Label1[5], 2, 0, 1, 3);
    frameGrid->addWidget(txtDateFin, 2, 3, 1, 2);
    frameGrid->addWidget(cmdCalendrier[1], 2, 5);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(Label1[0]);
    layout->addWidget(txtTitre);
    layout->addWidget(Label1[1]);
    layout->addWidget(txtTexte, 1);
    layout->addWidget(Frame1);

    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    struct ToolInfo {
        const char* key;
        const char* toolTip;
        QStyle::StandardPixmap icon;
    };
    const ToolInfo tools[] = {{"enregistrer", "Enregistrer le message (Ctrl+E)", QStyle::SP_DialogSaveButton},
                              {"sep", nullptr, QStyle::SP_CustomBase},
                              {"aide", "Aide (F1)", QStyle::SP_DialogHelpButton},
                              {"quitter", "Quitter (Esc)", QStyle::SP_DialogCloseButton}};
    for (const ToolInfo& tool : tools) {
        if (!tool.toolTip) {
            Toolbar1->addSeparator()->setObjectName(QLatin1String(tool.key));
            continue;
        }
        QAction* action = Toolbar1->addAction(style()->standardIcon(tool.icon), QString());
        action->setObjectName(QLatin1String(tool.key));
        action->setToolTip(QString::fromUtf8(tool.toolTip));
    }
    connect(Toolbar1->findChild<QAction*>(QStringLiteral("enregistrer")), &QAction::triggered, this,
            &frmAjoutMessage::Save);
    connect(Toolbar1->findChild<QAction*>(QStringLiteral("aide")), &QAction::triggered, this,
            [this] { m_services.help.show(this, HelpContext::Editor); });
    connect(Toolbar1->findChild<QAction*>(QStringLiteral("quitter")), &QAction::triggered, this, &QWidget::close);

    StatusBar1 = new ClockStatusBar(this, QString::fromUtf8(kHelpHint), QString::fromUtf8(kHelpHint));
    setStatusBar(StatusBar1);
    StatusPanels = StatusBar1->panels;
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { StatusBar1->showTime(m_services.clock.now()); });

    connect(cboPeriode, &QComboBox::currentIndexChanged, this, &frmAjoutMessage::cboPeriode_Click);
    for (int i = 0; i < 2; ++i)
        connect(cmdCalendrier[static_cast<size_t>(i)], &QToolButton::clicked, this,
                [this, i] { cmdCalendrier_Click(i); });
    connect(cmdHeure, &QToolButton::clicked, this, &frmAjoutMessage::cmdHeure_Click);
    new DateTimeKeyFilter(DateTimeKeyFilter::Date, m_services.platform, txtDate);
    new DateTimeKeyFilter(DateTimeKeyFilter::Date, m_services.platform, txtDateFin);
    new DateTimeKeyFilter(DateTimeKeyFilter::Time, m_services.platform, txtHeure);
    setTabOrder(txtTitre, txtTexte);
    setTabOrder(txtTexte, txtDate);
    setTabOrder(txtDate, cmdCalendrier[0]);
    setTabOrder(cmdCalendrier[0], txtHeure);
    setTabOrder(txtHeure, cmdHeure);
    setTabOrder(cmdHeure, cboPeriode);
    setTabOrder(cboPeriode, txtDateFin);
    setTabOrder(txtDateFin, cmdCalendrier[1]);

    for (QWidget* hinted : std::initializer_list<QWidget*>{central, Frame1, txtTitre, txtTexte, txtDate, txtHeure,
                                                           txtDateFin, cmdCalendrier[0], cmdCalendrier[1]}) {
        hinted->setMouseTracking(true);
        hinted->installEventFilter(this);
    }
    txtTexte->viewport()->setMouseTracking(true);
    txtTexte->viewport()->installEventFilter(this);
    installWindowKeys(this, {&m_services.help, HelpContext::Editor, &m_host, [this](QKeyEvent* key) {
                                 if (!(key->modifiers() & Qt::ControlModifier) || key->key() != Qt::Key_E)
                                     return false;
                                 Save();
                                 return true;
                             }});
    resize(twips(7200), twips(5400));
}

frmAjoutMessage::~frmAjoutMessage() = default;

void frmAjoutMessage::Form_Load() {
    const QDateTime now = m_services.clock.now();
    StatusBar1->showDate(now);
    Timer1->start();
    cboPeriode->clear();
    cboPeriode->addItems(periodicityChoices());
    cboPeriode->setCurrentIndex(0);
    cboPeriode_Click();
    MessageSaved = false;
    CentreWindow(this);
    SetTopMost(this, true);
}

void frmAjoutMessage::startNew(const QDate& today) {
    SelectedId.clear();
    setWindowTitle(QStringLiteral("Créer un nouveau message"));
    txtDate->setText(formatDate(today));
    cboPeriode->setCurrentIndex(0);
    show();
    txtTitre->setFocus();
}

bool frmAjoutMessage::startEdit(qint64 id, const QString& title) {
    SelectedId = QString::number(id);
    setWindowTitle(QStringLiteral("Modifier le message <") + title + QLatin1Char('>'));
    if (!LoadMessageIntoEditor()) {
        close();
        return false;
    }
    show();
    return true;
}

void frmAjoutMessage::cboPeriode_Click() {
    const int code = cboPeriode->currentIndex();
    for (QWidget* w :
         std::initializer_list<QWidget*>{txtDate, cmdCalendrier[0], txtHeure, cmdHeure, txtDateFin, cmdCalendrier[1]})
        w->setEnabled(true);
    if (code == 0) {
        txtDateFin->setEnabled(false);
        cmdCalendrier[1]->setEnabled(false);
    } else if (code == 9) {
        for (QWidget* w : std::initializer_list<QWidget*>{txtDate, cmdCalendrier[0], txtHeure, cmdHeure, txtDateFin,
                                                          cmdCalendrier[1]})
            w->setEnabled(false);
    }
}

bool frmAjoutMessage::LoadMessageIntoEditor() {
    const std::optional<EditorFields> fields = loadEditorFields(m_services.store, SelectedId.toLongLong());
    if (!fields) {
        m_services.dialogs.message(this, messageGoneText(), Icon::Information, Buttons::Ok);
        return false;
    }
    showFields(*fields);
    cboPeriode->setCurrentIndex(fields->code);
    cboPeriode_Click();
    return true;
}

EditorFields frmAjoutMessage::typedFields() const {
    return {txtTitre->text(), txtTexte->toPlainText(), txtDate->text(),
            txtHeure->text(), txtDateFin->text(),      cboPeriode->currentIndex()};
}

void frmAjoutMessage::showFields(const EditorFields& fields) {
    txtTitre->setText(fields.titre);
    txtTexte->setPlainText(fields.texte);
    txtDate->setText(fields.date);
    txtHeure->setText(fields.heure);
    txtDateFin->setText(fields.dateFin);
}

bool frmAjoutMessage::ValidateEditor() {
    EditorFields fields = typedFields();
    const std::optional<EditorFault> fault = checkEditorFields(fields, m_services.clock.now());
    showFields(fields);
    if (!fault)
        return true;
    if (fault->question)
        return m_services.dialogs.message(this, fault->text, Icon::Information, Buttons::YesNo, kTitle, Answer::No) ==
               Answer::Yes;
    QWidget* const focus[] = {nullptr, txtTitre, txtTexte, txtDate, txtHeure, txtDateFin};
    showFieldFault(m_services.dialogs, focus[static_cast<int>(fault->field)], fault->text, fault->selectText);
    return false;
}

void frmAjoutMessage::Save() {
    HandlerScope handler;
    if (!ValidateEditor())
        return;
    const EditorSaveResult result = saveEditorFields(m_services.store, typedFields(), SelectedId.toLongLong());
    switch (result.kind) {
        case EditorSaveResult::Saved:
            SelectedId = QString::number(result.id);
            MessageSaved = true;
            close();
            return;
        case EditorSaveResult::Gone:
        case EditorSaveResult::Displayed:
            m_services.dialogs.message(this, result.text, Icon::Information, Buttons::Ok);
            MessageSaved = false;
            close();
            return;
        case EditorSaveResult::Failed:
            // The fields stay as typed: nothing the user wrote is lost.
            m_services.dialogs.message(this, result.text, Icon::Exclamation, Buttons::Ok);
            return;
    }
}

void frmAjoutMessage::cmdCalendrier_Click(int index) {
    if (!calendar) {
        calendar = new frmCalendrier(m_services, m_host, {txtDate, txtDateFin}, this);
        calendar->Form_Load();
    }
    calendar->CalendarTarget = index;
    moveFrame(calendar, frameGeometry().topLeft() + QPoint(twips(2000), 0));
    calendar->show();
    calendar->raise();
}

void frmAjoutMessage::cmdHeure_Click() {
    if (!timePicker) {
        timePicker = new frmHeure(m_services, m_host, txtHeure, this);
        timePicker->Form_Load();
    }
    moveFrame(timePicker, frameGeometry().topLeft() + QPoint(twips(2000), twips(1700)));
    timePicker->show();
    timePicker->raise();
}

bool frmAjoutMessage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        QObject* over = watched == txtTexte->viewport() ? txtTexte : watched;
        auto* widget = static_cast<QWidget*>(over);
        StatusPanels[0]->setText(over == centralWidget() || over == Frame1 ? QString::fromUtf8(kHelpHint)
                                                                           : widget->toolTip());
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmAjoutMessage::closeEvent(QCloseEvent* event) {
    if (calendar)
        calendar->close();
    if (timePicker)
        timePicker->close();
    Timer1->stop();
    if (MessageSaved)
        m_host.editorSaved(SelectedId.toLongLong());
    event->accept();
}

}  // namespace tavanote
