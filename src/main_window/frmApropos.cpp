#include "frmApropos.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/Version.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"
#include "main_window/HelpSystem.h"
#include "main_window/SendMail.h"
#include "store/MessageStore.h"

namespace tavanote {

const QString frmApropos::kWebAddress = QStringLiteral("https://tavanote.example.org");
const QString frmApropos::kMailAddress = QStringLiteral("contact@tavanote.example.org");

namespace {

const int kWidth = twips(6300);
const int kHeight = twips(4500);  // one line more than before: the messages file in use
const int kMargin = twips(180);
const int kTextLeft = twips(1080);  // right of the program's icon

const char kDescription[] =
    "Ce programme vous permet d'afficher des messages sur votre ordinateur "
    "tel des petites notes jaunes bien connues. Ainsi, vous ne riquez plus d'oublier un rendez-vous, "
    "un anniversaire, une fête etc...";

// The system-information programs of the usual Linux desktops, the preferred first.
const char* const kSysInfoPrograms[] = {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"};

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& toolTip, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setToolTip(toolTip);
    label->setGeometry(geometry);
    return label;
}

}  // namespace

frmApropos::frmApropos(Services& services, QWidget* parent) : QWidget(parent, Qt::Dialog), m_services(services) {
    setObjectName(QStringLiteral("frmApropos"));
    setWindowTitle(QStringLiteral("A propos de..."));
    setWindowIcon(programIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);
    // The background takes the links' underline away.
    setMouseTracking(true);

    const int textWidth = kWidth - kTextLeft - kMargin;

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(programIcon().pixmap(48, 48));
    picIcon->setGeometry(kMargin, kMargin, 48, 48);

    lblTitle = makeLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Titre de l'application"),
                         QRect(kTextLeft, kMargin - 4, textWidth, 30));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion = makeLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Numéro de version de l'application"),
                           QRect(kTextLeft, kMargin + 28, textWidth, 18));

    txtInformations = new QPlainTextEdit(this);
    txtInformations->setObjectName(QStringLiteral("txtInformations"));
    txtInformations->setToolTip(QStringLiteral("Texte d'information sur l'application"));
    txtInformations->setReadOnly(true);
    txtInformations->setFrameShape(QFrame::NoFrame);
    txtInformations->viewport()->setAutoFillBackground(false);
    txtInformations->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtInformations->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtInformations->setGeometry(kTextLeft - 4, kMargin + 54, textWidth + 4, 76);
    txtInformations->viewport()->setMouseTracking(true);
    txtInformations->viewport()->installEventFilter(this);

    auto* lblConcepteur =
        makeLabel(this, QStringLiteral("lblConcepteur"), QString(), QRect(kTextLeft, kMargin + 136, textWidth, 18));
    lblConcepteur->setText(QStringLiteral("Les développeurs de Tavanote"));

    const char* const captions[2] = {"Site:", "Mail:"};
    const char* const toolTips[2] = {"Site Internet du concepteur", "Adresse de messagerie du concepteur"};
    for (int i = 0; i < 2; ++i) {
        const int top = kMargin + 160 + i * 20;
        auto* caption =
            makeLabel(this, QStringLiteral("lblUrlTitre_%1").arg(i), QString(), QRect(kTextLeft, top, 40, 18));
        caption->setText(QString::fromLatin1(captions[i]));

        QLabel* link = makeLabel(this, QStringLiteral("lblUrl_%1").arg(i), QString::fromUtf8(toolTips[i]),
                                 QRect(kTextLeft + 40, top, textWidth - 40, 18));
        link->setCursor(Qt::PointingHandCursor);
        link->setMouseTracking(true);
        QPalette ink = link->palette();
        ink.setColor(QPalette::WindowText, ink.color(QPalette::Link));
        link->setPalette(ink);
        link->installEventFilter(this);
        lblUrl[static_cast<size_t>(i)] = link;
    }

    // Which messages file this run uses: in the program folder, or in the user's data folder.
    auto* messagesCaption =
        makeLabel(this, QStringLiteral("lblMessagesTitre"), QString(), QRect(kTextLeft, kMargin + 204, 64, 18));
    messagesCaption->setText(QStringLiteral("Messages:"));
    lblMessages = makeLabel(this, QStringLiteral("lblMessages"), QStringLiteral("Fichier des messages utilisé"),
                            QRect(kTextLeft + 64, kMargin + 204, textWidth - 64, 18));

    // A sunken line between the texts and the buttons.
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(kMargin, kHeight - kMargin - 36, kWidth - 2 * kMargin, 2);

    const int buttonTop = kHeight - kMargin - 26;
    cmdSysInfo = new QPushButton(QStringLiteral("&Infos système..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setToolTip(QStringLiteral("Informations sur le système"));
    cmdSysInfo->setGeometry(kWidth - kMargin - 2 * 110 - 8, buttonTop, 110, 26);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmApropos::StartSysInfo);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setToolTip(QStringLiteral("Fermer la fenêtre"));
    cmdOK->setDefault(true);
    cmdOK->setGeometry(kWidth - kMargin - 110, buttonTop, 110, 26);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);

    // F1 opens its help; any other whole key closes the window.
    installWindowKeys(
        this, {&m_services.help, HelpContext::About, nullptr, [this](QKeyEvent* key) {
                   switch (key->key()) {
                       case Qt::Key_F1:
                       case Qt::Key_Shift:
                       case Qt::Key_Control:
                       case Qt::Key_Alt:
                       case Qt::Key_AltGr:
                       case Qt::Key_Meta:
                           return false;  // only a whole key closes the window, and Alt keeps the buttons' mnemonics
                       default:
                           close();
                           return true;
                   }
               }});
}

void frmApropos::Form_Load() {
    CentreWindow(this);
    lblTitle->setText(kTitle);
    lblVersion->setText(QStringLiteral("Version ") + versionText());
    lblUrl[0]->setText(kWebAddress);
    lblUrl[1]->setText(kMailAddress);
    txtInformations->setPlainText(QString::fromUtf8(kDescription));
    // The whole path in the tool tip; the label keeps its end, the file's own name.
    const QString messages = QDir::toNativeSeparators(m_services.store.path());
    lblMessages->setText(lblMessages->fontMetrics().elidedText(messages, Qt::ElideMiddle, lblMessages->width()));
    lblMessages->setToolTip(QStringLiteral("Fichier des messages utilisé:\n") + messages);
    SetTopMost(this, true);
}

void frmApropos::StartSysInfo() {
    for (const char* name : kSysInfoPrograms) {
        const QString path = m_services.platform.findProgram(QString::fromLatin1(name));
        if (path.isEmpty())
            continue;
        if (m_services.platform.startProgram(path))
            return;
        break;
    }
    m_services.dialogs.message(this, QStringLiteral("Les informations système ne sont pas disponibles actuellement"),
                               Icon::Information, Buttons::Ok, kTitle);
}

void frmApropos::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
}

bool frmApropos::eventFilter(QObject* watched, QEvent* event) {
    const int link = watched == lblUrl[0] ? 0 : (watched == lblUrl[1] ? 1 : -1);
    switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            if (link >= 0) {
                QFont font = lblUrl[static_cast<size_t>(link)]->font();
                font.setUnderline(true);
                lblUrl[static_cast<size_t>(link)]->setFont(font);
                // Kept from the window behind, which would take the underline away again.
                event->accept();
                return true;
            } else if (watched == txtInformations->viewport()) {
                removeUnderlines();
            }
            break;
        case QEvent::MouseButtonRelease:
            if (link >= 0 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                lblUrl[static_cast<size_t>(link)]->rect().contains(
                    static_cast<QMouseEvent*>(event)->position().toPoint())) {
                lblUrl_Click(link);
                return true;
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmApropos::mouseMoveEvent(QMouseEvent* event) {
    removeUnderlines();
    QWidget::mouseMoveEvent(event);
}

void frmApropos::removeUnderlines() {
    for (QLabel* link : lblUrl) {
        QFont font = link->font();
        font.setUnderline(false);
        link->setFont(font);
    }
}

void frmApropos::lblUrl_Click(int index) {
    if (index == 0) {
        if (!m_services.dialogs.openUrl(QUrl(lblUrl[0]->text())))
            m_services.dialogs.message(this,
                                       QStringLiteral("Aucune application ne permet de visiter le site Internet."),
                                       Icon::Information, Buttons::Ok);
        return;
    }
    SendMail(m_services, lblUrl[1]->text(), this, kTitle + QStringLiteral(" version ") + versionText(),
             QStringLiteral("Saisissez ci-dessous le texte de votre message:"), QString(), QString());
}

}  // namespace tavanote
