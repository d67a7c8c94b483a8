#include "frmEtat.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryFile>
#include <QTextEdit>
#include <QToolButton>

#include "calendar/IcsExport.h"
#include "common/SafeWrite.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"
#include "reports/Exports.h"
#include "reports/Report.h"
#include "store/MessageStore.h"
#include "text/RtfReader.h"
#include "text/TextFiles.h"

namespace tavanote {

const QString frmEtat::kImportCaption = QStringLiteral("Aperçu avant l'importation");

namespace {

constexpr int kStripHeight = 420;  // twips above the document
constexpr int kRightMargin = 120;  // twips right of the document
constexpr int kChrome = 800;       // twips of the window's height that are not the document

// The desktop's icon of that name, or our own picture (a resource path), or the style's own.
QToolButton* makeButton(QWidget* parent, const QString& name, const QString& toolTip, const char* themeIcon,
                        QStyle::StandardPixmap icon, const char* ownIcon = nullptr) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setIcon(QIcon::fromTheme(
        QLatin1String(themeIcon), ownIcon ? QIcon(QString::fromLatin1(ownIcon)) : parent->style()->standardIcon(icon)));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

frmEtat::frmEtat(Services& services, QPrinter& printer, WindowHost* host, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_printer(printer) {
    setObjectName(QStringLiteral("frmEtat"));
    setWindowTitle(QStringLiteral("Aperçu avant impression"));
    setWindowIcon(programIcon());
    resize(twips(10200), twips(7800));
    setMinimumSize(twips(7200), twips(3000));

    m_strip = new QWidget(this);
    m_strip->setObjectName(QStringLiteral("picBoutons"));
    auto* row = new QHBoxLayout(m_strip);
    row->setContentsMargins(2, 1, 4, 1);
    row->setSpacing(2);

    struct Look {
        const char* toolTip;
        const char* themeIcon;
        QStyle::StandardPixmap icon;
        const char* ownIcon;
    };
    const Look looks[5] = {
        {"Exporter", "document-save-as", QStyle::SP_DialogSaveButton, nullptr},
        {"Configuration de l'imprimante", "document-page-setup", QStyle::SP_ComputerIcon, nullptr},
        {"Imprimer", "document-print", QStyle::SP_CustomBase, ":/icons/imprimer.svg"},
        {"Rechercher", "edit-find", QStyle::SP_FileDialogContentsView, nullptr},
        {"Affiche l'aide", "help-contents", QStyle::SP_CustomBase, ":/icons/aide.svg"},
    };
    for (int i = 0; i < 5; ++i)
        Boutons[static_cast<size_t>(i)] =
            makeButton(m_strip, QStringLiteral("Boutons_%1").arg(i), QString::fromUtf8(looks[i].toolTip),
                       looks[i].themeIcon, looks[i].icon, looks[i].ownIcon);
    auto* fermer = new QPushButton(QStringLiteral("&Fermer"), m_strip);
    fermer->setObjectName(QStringLiteral("Boutons_5"));
    fermer->setToolTip(QStringLiteral("Fermer la fenêtre"));
    Boutons[5] = fermer;

    cmdPlan[0] = makeButton(m_strip, QStringLiteral("cmdPlan_0"), QStringLiteral("Mettre à l'arrière plan"), "go-down",
                            QStyle::SP_ArrowDown);
    cmdPlan[1] = makeButton(m_strip, QStringLiteral("cmdPlan_1"), QStringLiteral("Mettre au premier plan"), "go-up",
                            QStyle::SP_ArrowUp);

    lblRecherche = new QLabel(QStringLiteral("Recherche:"), m_strip);
    lblRecherche->setObjectName(QStringLiteral("lblRecherche"));
    txtRecherche = new QLineEdit(m_strip);
    txtRecherche->setObjectName(QStringLiteral("txtRecherche"));
    txtRecherche->setToolTip(QStringLiteral("Texte à rechercher"));
    txtRecherche->setFixedWidth(twips(2400));
    lblRecherche->setBuddy(txtRecherche);

    row->addWidget(Boutons[0]);
    row->addWidget(Boutons[1]);
    row->addWidget(Boutons[2]);
    row->addSpacing(12);
    row->addWidget(lblRecherche);
    row->addWidget(txtRecherche);
    row->addWidget(Boutons[3]);
    row->addSpacing(12);
    row->addWidget(Boutons[4]);
    row->addStretch(1);
    row->addWidget(cmdPlan[0]);
    row->addWidget(cmdPlan[1]);
    row->addSpacing(6);
    row->addWidget(Boutons[5]);

    RTF = new QTextEdit(this);
    RTF->setObjectName(QStringLiteral("RTF"));
    RTF->setReadOnly(true);
    RTF->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RTF->setLineWrapMode(QTextEdit::WidgetWidth);
    RTF->setAcceptRichText(false);

    for (int i = 0; i < 6; ++i)
        connect(Boutons[static_cast<size_t>(i)], &QAbstractButton::clicked, this, [this, i] { Boutons_Click(i); });
    for (int i = 0; i < 2; ++i)
        connect(cmdPlan[static_cast<size_t>(i)], &QAbstractButton::clicked, this, [this, i] { cmdPlan_Click(i); });
    connect(txtRecherche, &QLineEdit::textChanged, this, [this] { FoundCount = 0; });

    setTabOrder(txtRecherche, Boutons[3]);
    // Enter in the search box finds the next match; F1, F2 and Esc are the keys every window shares.
    installWindowKeys(this, {&m_services.help, HelpContext::Report, host, [this](QKeyEvent* key) {
                                 const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
                                 if (!enter || !txtRecherche->hasFocus() ||
                                     (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
                                     return false;
                                 Boutons_Click(3);
                                 return true;
                             }});
}

void frmEtat::Form_Load() {
    CentreWindow(this);
    cmdPlan[0]->show();
    cmdPlan[1]->hide();
    SetTopMost(this, true);
    m_loaded = true;
}

void frmEtat::BuildReport(const QString& caption, int list, MessageList messages) {
    setWindowTitle(caption);
    Boutons[0]->setVisible(true);
    m_messages = std::move(messages);
    // The template is written beside the messages file: in the program folder, or in the user's data folder when
    // the messages live there.
    const QString folder =
        m_services.store.isOpen() ? QFileInfo(m_services.store.path()).absolutePath() : m_services.programFolder;
    tavanote::BuildReport(*RTF->document(), m_messages, list, m_services.clock.now().date(), folder);
    RTF->setTextCursor(QTextCursor(RTF->document()));
    FoundCount = 0;
}

bool frmEtat::previewFile(const QString& path) {
    setWindowTitle(kImportCaption);
    Boutons[0]->hide();
    m_messages.clear();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        inform(QStringLiteral("Impossible de lire le fichier [") + QFileInfo(path).fileName() +
               QStringLiteral("].\nAssurez-vous que ce dernier existe ou que le nom est correct."));
        RTF->clear();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (isRtfFileName(path)) {
        readRtf(bytes, *RTF->document());
    } else {
        RTF->document()->setDefaultFont(font());
        // A line ends with CR LF, LF or CR alone, as the import reads it: one line break each.
        QString text = decodeImportBytes(bytes);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        RTF->setPlainText(text);
    }
    RTF->setTextCursor(QTextCursor(RTF->document()));
    return true;
}

void frmEtat::Boutons_Click(int index) {
    switch (index) {
        case 0:
            if (RTF->document()->isEmpty()) {
                inform(QStringLiteral("Aucunes données à exporter."));
                close();
                return;
            }
            Exporter();
            break;
        case 1:
            // A cancelled set-up changes nothing and says nothing.
            m_services.dialogs.pageSetup(this, m_printer);
            break;
        case 2:
            print();
            break;
        case 3:
            findNext();
            break;
        case 4:
            m_services.help.show(this, HelpContext::Report);
            break;
        case 5:
            close();
            break;
        default:
            break;
    }
}

void frmEtat::cmdPlan_Click(int index) {
    cmdPlan[static_cast<size_t>(index)]->hide();
    cmdPlan[static_cast<size_t>(1 - index)]->show();
    SetTopMost(this, index == 1);
}

void frmEtat::Exporter() {
    QString chosenFilter;
    QString path = m_services.dialogs.saveFileName(this, QStringLiteral("Exporter les messages..."), QString(),
                                                   exportFilter(), &chosenFilter);
    if (path.isEmpty())
        return;
    path = withDefaultExtension(path, chosenFilter);

    QByteArray bytes;
    QString leftOut;
    switch (exportFormatFor(path)) {
        case ExportFormat::Rtf:
            bytes = exportRtf(*RTF->document());
            break;
        case ExportFormat::Text:
            bytes = exportText(*RTF->document());
            break;
        case ExportFormat::Html:
            bytes = exportHtml(*RTF->document());
            break;
        case ExportFormat::Csv:
            bytes = exportCsv(m_messages);
            break;
        case ExportFormat::Ics: {
            const IcsExport calendar = exportIcs(m_messages, m_services.store.path(), m_services.clock.now().toUTC());
            bytes = calendar.bytes;
            leftOut = icsLeftOutText(calendar);
            break;
        }
        case ExportFormat::Refused:
            inform(QStringLiteral("Exportation impossible: Le type de fichier choisi semble incorrect."));
            return;
    }
    // The save dialog asks nothing: one question, whether or not the extension was typed.
    if (QFileInfo::exists(path) &&
        m_services.dialogs.message(this,
                                   QStringLiteral("Le fichier [") + QFileInfo(path).fileName() +
                                       QStringLiteral("] existe déjà.\nVoulez-vous le remplacer ?"),
                                   Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;
    if (!writeFile(path, bytes))
        return;

    const QString question = QStringLiteral("Le fichier [") + QFileInfo(path).fileName() +
                             QStringLiteral("] a été créé.\n") + leftOut +
                             QStringLiteral("Désirez-vous ouvrir ce fichier ?");
    if (m_services.dialogs.message(this, question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;
    // The answer may come once this window is gone (an export from the main window): the box then has no parent.
    Dialogs& dialogs = m_services.dialogs;
    const QPointer<QWidget> self(this);
    dialogs.openFile(QFileInfo(path).absoluteFilePath(), [&dialogs, self] {
        dialogs.message(self, QStringLiteral("Aucune application associée avec ce type de fichier."), Icon::Information,
                        Buttons::Ok);
    });
}

bool frmEtat::writeFile(const QString& path, const QByteArray& bytes) {
    const FileWriteResult result = writeFileSafely(path, bytes);
    if (!result.ok())
        m_services.dialogs.message(this, fileWriteFailureText(path, result), Icon::Exclamation, Buttons::Ok);
    return result.ok();
}

void frmEtat::print() {
    if (RTF->document()->isEmpty()) {
        inform(QStringLiteral("Aucunes données à imprimer."));
        close();
        return;
    }
    // "Selection" is offered only when something is selected.
    m_printer.setPrintRange(QPrinter::AllPages);
    if (!m_services.dialogs.print(this, m_printer, RTF->textCursor().hasSelection()))
        return;
    if (m_printer.printRange() != QPrinter::Selection) {
        QTextCursor cursor = RTF->textCursor();
        cursor.clearSelection();
        RTF->setTextCursor(cursor);
    }
    // Each copy is a print job of its own: the dialog's count is for the whole print, not for each job.
    const int copies = std::max(1, m_printer.copyCount());
    m_printer.setCopyCount(1);
    for (int copy = 0; copy < copies && printOnce(); ++copy) {
    }
    m_printer.setCopyCount(copies);
}

bool frmEtat::printOnce() {
    const QString target = m_printer.outputFormat() == QPrinter::PdfFormat ? m_printer.outputFileName() : QString();
    if (target.isEmpty()) {
        RTF->print(&m_printer);
        if (m_printer.printerState() != QPrinter::Error)
            return true;
        inform(QStringLiteral("Impossible d'imprimer: l'imprimante [") + m_printer.printerName() +
               QStringLiteral("] a refusé le document."));
        return false;
    }
    // The printer writes a PDF file without saying whether the disk took it: it is written aside first, and
    // takes the name asked for only whole. A cut one lacks the end of file mark.
    QTemporaryFile part(QDir::temp().filePath(QStringLiteral("tavanote-XXXXXX.pdf")));
    QByteArray pdf;
    if (part.open()) {
        m_printer.setOutputFileName(part.fileName());
        RTF->print(&m_printer);
        m_printer.setOutputFileName(target);
        pdf = part.readAll();
    }
    if (m_printer.printerState() == QPrinter::Error || !pdf.trimmed().endsWith("%%EOF")) {
        const FileWriteResult failure =
            explainWriteFailure(part.fileName(), pdf.size() + 1, QFileDevice::WriteError, {});
        m_services.dialogs.message(this, fileWriteFailureText(target, failure), Icon::Exclamation, Buttons::Ok);
        return false;
    }
    return writeFile(target, pdf);
}

void frmEtat::findNext() {
    const QString wanted = txtRecherche->text();
    if (wanted.isEmpty()) {
        inform(QStringLiteral("Saisissez un texte à rechercher."));
        txtRecherche->setFocus();
        return;
    }
    const QTextCursor found = RTF->document()->find(wanted, RTF->textCursor().selectionEnd());
    if (!found.isNull()) {
        RTF->setTextCursor(found);
        ++FoundCount;
        return;
    }
    inform(notFoundMessage(FoundCount));
    // The next search starts again from the top.
    RTF->setTextCursor(QTextCursor(RTF->document()));
    FoundCount = 0;
    txtRecherche->selectAll();
    txtRecherche->setFocus();
}

void frmEtat::inform(const QString& text) {
    m_services.dialogs.message(this, text, Icon::Information, Buttons::Ok);
}

void frmEtat::resizeEvent(QResizeEvent* event) {
    // The window's frame and caption count in its outer size and in the margins alike: they cancel out, and the
    // document keeps the client area less the strip of buttons above and a margin right and below.
    m_strip->setGeometry(0, 0, width(), twips(kStripHeight));
    RTF->setGeometry(0, twips(kStripHeight), std::max(0, width() - twips(kRightMargin)),
                     std::max(0, height() - twips(kChrome)));
    QWidget::resizeEvent(event);
}

void frmEtat::closeEvent(QCloseEvent* event) {
    m_loaded = false;
    QWidget::closeEvent(event);
}

}  // namespace tavanote
