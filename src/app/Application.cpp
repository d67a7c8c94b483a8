#include "Application.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/frmIntro.h"
#include "main_window/frmGestionMessages.h"
#include "store/MessageFile.h"
#include "store/MessageStore.h"

namespace tavanote {

bool installFrenchTranslations() {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    // The application keeps it for the whole run.
    translator->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(translator.release());
}

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

Application::Application(Services& services) : m_services(services) {}

Application::~Application() = default;

bool Application::start() {
    m_intro = std::make_unique<frmIntro>(m_services, [this](bool newVersion) { loadMainWindow(newVersion); });
    if (!m_intro->Form_Load())
        return false;
    m_intro->show();
    return true;
}

void Application::loadMainWindow(bool newVersion) {
    // Loaded, not shown: the program lives in the notification area.
    m_main = std::make_unique<frmGestionMessages>(m_services, newVersion);
    m_main->Form_Load();
}

}  // namespace tavanote
