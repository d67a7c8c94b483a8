#include "Help.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QWidget>
#include <memory>

#include "common/WindowHelpers.h"
#include "frmAide.h"

namespace tavanote {

namespace {

const QString kHelpFileName = QStringLiteral("aide.qch");

void tellHelpFileMissing(Dialogs& dialogs, const QString& programFolder, QWidget* window) {
    dialogs.message(window,
                    QStringLiteral("Le fichier d'aide [") + kHelpFileName +
                        QStringLiteral("] est introuvable.\nAssurez-vous que ce fichier doit se trouver\n"
                                       "dans le dossier:\n") +
                        programFolder,
                    Icon::Exclamation, Buttons::Ok);
}

}  // namespace

HelpSystem::HelpSystem(Dialogs& dialogs, QString programFolder)
    : m_dialogs(dialogs), m_programFolder(std::move(programFolder)) {}

HelpSystem::~HelpSystem() {
    // The viewer deletes itself when closed; one still open goes with the help.
    delete m_viewer.data();
}

QString HelpSystem::helpFilePath() const {
    return QDir(m_programFolder).filePath(kHelpFileName);
}

void HelpSystem::ShowHelp(QWidget* window, const QString& topic, int context) {
    if (context != 0) {
        if (context < 0)
            context = 0;
        const QString path = helpFilePath();
        if (!QFileInfo(path).isFile()) {
            tellHelpFileMissing(m_dialogs, m_programFolder, window);
            return;
        }
        std::unique_ptr<HelpFile> opened;
        const HelpFile* file = m_viewer ? &m_viewer->helpFile() : nullptr;
        if (!file) {
            opened = HelpFile::open(path);
            file = opened.get();
        }
        const QUrl page = file ? file->pageOf(context) : QUrl();
        if (page.isEmpty()) {
            tellHelpFileMissing(m_dialogs, m_programFolder, window);
            return;
        }
        if (!m_viewer) {
            // A top-level window of its own that deletes itself when closed; the destructor ends one left open.
            auto viewer = std::make_unique<frmAide>(std::move(opened));
            viewer->setAttribute(Qt::WA_DeleteOnClose);
            m_viewer = viewer.release();
        }
        m_viewer->showPage(page);
        // Asked from a window kept on top, the help must not open behind it.
        const bool onTop = window && (window->window()->windowFlags() & Qt::WindowStaysOnTopHint);
        if (onTop && !(m_viewer->windowFlags() & Qt::WindowStaysOnTopHint))
            SetTopMost(m_viewer, true);
        m_viewer->show();
        m_viewer->raise();
        m_viewer->activateWindow();
        return;
    }

    const QString folder = m_programFolder;
    const QString path = QDir(folder).filePath(topic);
    if (!QFileInfo(path).isFile()) {
        m_dialogs.message(window,
                          QStringLiteral("Fichier d'aide [") + topic +
                              QStringLiteral("] introuvable.\nAssurez-vous que celui-ci doit se trouver "
                                             "dans le dossier:\n") +
                              folder,
                          Icon::Critical, Buttons::Ok);
        return;
    }
    if (!m_dialogs.openUrl(QUrl::fromLocalFile(path)))
        m_dialogs.message(window, QStringLiteral("Aucune application associée avec ce type de fichier [HTM]."),
                          Icon::Information, Buttons::Ok);
}

void HelpSystem::show(QWidget* window, HelpContext context) {
    ShowHelp(window, helpTopic(context), static_cast<int>(context));
}

QString mailTarget(const QString& address, const QString& subject, const QString& body, const QString& cc,
                   const QString& bcc) {
    QString query;
    if (!subject.isEmpty())
        query += QStringLiteral("&Subject=") + subject;
    if (!body.isEmpty())
        query += QStringLiteral("&Body=") + body;
    if (!cc.isEmpty())
        query += QStringLiteral("&CC=") + cc;
    if (!bcc.isEmpty())
        query += QStringLiteral("&BCC=") + bcc;
    if (query.startsWith(QLatin1Char('&')))
        query[0] = QLatin1Char('?');
    return QStringLiteral("mailto:") + address + query;
}

bool SendMail(Services& services, const QString& address, QWidget* window, const QString& subject, const QString& body,
              const QString& cc, const QString& bcc) {
    const QUrl target(mailTarget(address, subject, body, cc, bcc), QUrl::TolerantMode);
    if (services.dialogs.openUrl(target))
        return true;
    services.dialogs.message(
        window, QStringLiteral("Aucune application ne permet d'envoyer un e-mail à l'adresse :\n") + address,
        Icon::Information, Buttons::Ok);
    return false;
}

}  // namespace tavanote
