#include "Application.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "main_window/frmGestionMessages.h"
#include "windows/frmIntro.h"

namespace tavanote {

bool installFrenchTranslations() {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    // The application keeps it for the whole run.
    translator->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(translator.release());
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
