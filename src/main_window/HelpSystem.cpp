#include "HelpSystem.h"

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

}  // namespace tavanote
