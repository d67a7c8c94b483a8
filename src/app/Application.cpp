#include "Application.h"

#include "app/frmIntro.h"
#include "main_window/frmGestionMessages.h"

namespace tavanote {

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
