#include "frmTavanote.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

#include "common/DateText.h"
#include "common/HandlerScope.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"
#include "scheduling/NotePlacement.h"
#include "scheduling/PutOffRule.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"

namespace tavanote {

frmTavanote::frmTavanote(Services& services, NoteHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window),
      txtMessage(new QTextEdit(this)),
      lblJour(new QLabel(this)),
      lblheure(new QLabel(this)),
      cmdOnTop(new QPushButton(QStringLiteral("[-]"), this)),
      cmdRappel(new QPushButton(this)),
      mnuRappel(new QMenu(this)),
      mnuContexte(new QMenu(this)),
      m_services(services),
      m_host(host) {
    setObjectName(QStringLiteral("frmTavanote"));
    setAttribute(Qt::WA_DeleteOnClose);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setToolTip(QStringLiteral("Texte du message"));
    txtMessage->setReadOnly(true);
    // Selectable by mouse only: a note waiting on screen has no caret blinking, so it costs nothing.
    txtMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txtMessage->setFrameShape(QFrame::NoFrame);
    lblJour->setObjectName(QStringLiteral("lblJour"));
    lblJour->setToolTip(QStringLiteral("Date du message"));
    lblheure->setObjectName(QStringLiteral("lblheure"));
    lblheure->setToolTip(QStringLiteral("Heure du message"));
    cmdOnTop->setObjectName(QStringLiteral("cmdOnTop"));
    cmdOnTop->setToolTip(QStringLiteral("Mettre le message en avant ou arrière plan"));
    cmdOnTop->setFixedWidth(32);
    cmdOnTop->setFocusPolicy(Qt::NoFocus);
    connect(cmdOnTop, &QPushButton::clicked, this, &frmTavanote::cmdOnTop_Click);
    cmdRappel->setObjectName(QStringLiteral("cmdRappel"));
    cmdRappel->setToolTip(QStringLiteral("Rappeler plus tard"));
    cmdRappel->setIcon(QIcon(QStringLiteral(":/icons/rappel.svg")));
    cmdRappel->setFixedWidth(32);
    cmdRappel->setFocusPolicy(Qt::NoFocus);
    connect(cmdRappel, &QPushButton::clicked, this, &frmTavanote::cmdRappel_Click);
    mnuRappel->setObjectName(QStringLiteral("mnuRappel"));
    mnuContexte->setObjectName(QStringLiteral("mnuContexte"));
    for (int i = 0; i < kPutOffChoices; ++i) {
        auto* action = new QAction(putOffTexts()[i], this);
        action->setObjectName(QStringLiteral("mnuRappel_%1").arg(i));
        connect(action, &QAction::triggered, this, [this, i] { putOff(i); });
        mnuRappel->addAction(action);
        mnuContexte->addAction(action);
    }
    mnuContexte->addSeparator();
    QAction* copy = mnuContexte->addAction(QStringLiteral("Copier"), txtMessage, &QTextEdit::copy);
    copy->setObjectName(QStringLiteral("mnuCopier"));
    connect(txtMessage, &QTextEdit::copyAvailable, copy, &QAction::setEnabled);
    copy->setEnabled(false);
    mnuContexte->addAction(QStringLiteral("Tout sélectionner"), txtMessage, &QTextEdit::selectAll)
        ->setObjectName(QStringLiteral("mnuToutSelectionner"));
    txtMessage->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtMessage, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { showContextMenu(txtMessage->viewport()->mapToGlobal(at)); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(txtMessage, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblJour);
    bottom->addStretch(1);
    bottom->addWidget(lblheure);
    bottom->addWidget(cmdRappel);
    bottom->addWidget(cmdOnTop);
    layout->addLayout(bottom);
    resize(twips(4200), twips(2850));

    // The menu key and Shift+F10 open the context menu wherever the focus is in the note.
    const auto menuKey = [this](QKeyEvent* key) {
        const bool menu =
            key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
        if (menu)
            showContextMenu(txtMessage->mapToGlobal(QPoint(8, 8)));
        return menu;
    };
    installWindowKeys(this, {&m_services.help, HelpContext::Note, &m_host, menuKey});
}

void frmTavanote::Form_Load(const std::optional<QDateTime>& lateAt) {
    const Preferences& preferences = m_services.preferences;
    m_place = preferences.notePlace();
    if (m_place.kind == NotePlace::Kind::Random) {
        m_rl = m_services.random.next();
        m_rt = m_services.random.next();
    }
    place();

    const std::optional<quint32> fixed = preferences.noteColour();
    m_colour = QColor::fromRgb(fixed ? storedToRgb(*fixed) : randomNoteColour(m_services.random.next()));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, m_colour);
    palette.setColor(QPalette::Base, m_colour);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);
    txtMessage->setPalette(palette);
    for (QLabel* label : {lblJour, lblheure}) {
        label->setPalette(palette);
        label->setAutoFillBackground(true);
    }

    const QDateTime shownAt = lateAt ? *lateAt : m_services.clock.now();
    const QString heure = shownAt.toString(QStringLiteral("HH:mm"));
    const QString jour = formatDate(shownAt.date());
    m_displayedAt = readInstant(jour + QLatin1Char(' ') + heure).value_or(QDateTime());
    lblheure->setText(heure);
    lblJour->setText(jour);
    lblheure->setProperty("Tag", heure);
    lblJour->setProperty("Tag", jour);
    const NoteStamp stamp = preferences.noteStamp();
    if (!stamp.date)
        lblJour->clear();
    if (!stamp.time)
        lblheure->clear();

    m_onTop = true;
    SetTopMost(this, true);
}

void frmTavanote::place() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Placed by its frame, before it shows: the whole note opens on screen, in its place at once. When the window
    // manager had not told the frame yet, the note moves to its place once it is framed.
    const QMargins margins = frameMargins(this);
    const std::optional<QPoint> at =
        notePosition(m_place, screen->availableGeometry(), size().grownBy(margins), m_rl, m_rt);
    if (!at)
        return;
    moveFrame(this, *at);
    if (!isVisible())
        placeAgainWhenFramed(this, margins, [this] { place(); });
}

namespace {

// Longer than any line of a note: past it, looking for a word boundary only costs.
constexpr qsizetype kLongWord = 2000;

qsizetype longestWord(const QString& text) {
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

}  // namespace

void frmTavanote::setMessage(const Message& message) {
    m_fields.id = message.id;
    m_fields.titre = message.titre;
    m_fields.periodicite = message.periodicite;
    m_fields.dernieraffichage = message.dernieraffichage;
    setWindowTitle(literalCaption(message.titre));
    // A word too long for the note (a pasted address, a megabyte without a blank) would run off its edge, and
    // breaking it "at a word boundary, or anywhere" looks for the boundary again at every line: minutes for a
    // megabyte. Such a text breaks anywhere; the others at word boundaries, or anywhere inside a long word.
    txtMessage->setWordWrapMode(longestWord(message.message) > kLongWord ? QTextOption::WrapAnywhere
                                                                         : QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtMessage->setPlainText(message.message);
    m_tag = QStringLiteral("Tavanote_") + QString::number(message.id);
    setProperty("Tag", m_tag);
}

void frmTavanote::closeForDeletion() {
    // While the note's own question is open, a second close would not reach it: the note goes once the
    // question is answered.
    if (m_closing)
        m_deletedMeanwhile = true;
    else
        close();
}

void frmTavanote::cmdOnTop_Click() {
    m_onTop = !m_onTop;
    SetTopMost(this, m_onTop);
}

void frmTavanote::cmdRappel_Click() {
    mnuRappel->popup(cmdRappel->mapToGlobal(QPoint(0, cmdRappel->height())));
}

void frmTavanote::contextMenuEvent(QContextMenuEvent* event) {
    showContextMenu(event->globalPos());
}

void frmTavanote::showContextMenu(const QPoint& globalPos) {
    // The menu key may come both as a key and as a context menu request: one menu.
    if (!m_closing && !m_closed && !mnuContexte->isVisible() && !mnuRappel->isVisible())
        mnuContexte->popup(globalPos);
}

bool frmTavanote::putOff(int choice) {
    if (m_closing || m_closed || choice < 0 || choice >= kPutOffChoices)
        return false;
    HandlerScope handler;
    const PutOff row = putOffRow(m_fields.id, m_displayedAt, static_cast<PutOffChoice>(choice), m_services.clock.now());
    switch (m_services.store.putOff(row)) {
        case StoreWrite::Done:
            break;
        case StoreWrite::Gone:
            m_services.dialogs.message(this,
                                       QStringLiteral("Message: ") + m_fields.titre +
                                           QStringLiteral("\n\nCe message n'existe plus: il ne peut pas être "
                                                          "rappelé."),
                                       Icon::Information, Buttons::Ok);
            break;
        case StoreWrite::Failed:
            m_services.dialogs.message(
                this,
                storeFailureText(QStringLiteral("Impossible de reporter le message \"%1\".\n"
                                                "Le message reste affiché et n'a pas été modifié.")
                                     .arg(m_fields.titre),
                                 m_services.store.failure()),
                Icon::Exclamation, Buttons::Ok);
            return false;
    }
    // Neither rescheduled nor deleted: the note goes without its close handling.
    m_closed = true;
    close();
    m_host.RefreshMessageLists();
    return true;
}

void frmTavanote::closeEvent(QCloseEvent* event) {
    if (m_closed) {
        event->accept();
        return;
    }
    if (m_closing) {
        event->ignore();
        return;
    }
    if (!acknowledge()) {
        event->ignore();
        return;
    }
    m_closed = true;
    event->accept();
}

bool frmTavanote::acknowledge() {
    HandlerScope handler;
    m_closing = true;
    auto done = [this](bool closes) {
        m_closing = false;
        return closes;
    };
    Dialogs& dialogs = m_services.dialogs;
    m_deletedMeanwhile = false;
    bool deleting = m_host.deletingDisplayedMessage();
    const Preferences& preferences = m_services.preferences;
    if (!deleting && preferences.askBeforeClosingNote()) {
        const Answer answer = dialogs.message(this, noteCloseQuestion(), Icon::Question, Buttons::YesNo);
        deleting = m_deletedMeanwhile;
        if (answer != Answer::Yes && !deleting)
            return done(false);
    }
    const Message note = fields();
    const Expiry expiry = preferences.expiry();
    const NoteCloseOutcome outcome =
        decideNoteClose(note, displayedAt(), naiveNow(m_services.clock.now()), expiry, deleting);
    if (outcome.tellBeforeWriting)
        dialogs.message(this, outcome.text, Icon::Information, Buttons::Ok);
    if (!writeNoteClose(m_services.store, expiry, note.id, outcome)) {
        // Nothing was written: the note stays, so the message is not lost.
        dialogs.message(this,
                        storeFailureText(QStringLiteral("Impossible d'enregistrer la fermeture du message \"%1\".\n"
                                                        "Le message reste affiché et n'a pas été modifié.")
                                             .arg(note.titre),
                                         m_services.store.failure()),
                        Icon::Exclamation, Buttons::Ok);
        return done(false);
    }
    if (!outcome.tellBeforeWriting)
        dialogs.message(this, outcome.text, Icon::Information, Buttons::Ok);
    m_host.RefreshMessageLists();
    return done(true);
}

}  // namespace tavanote
