#pragma once

#include <memory>

#include "common/Services.h"

namespace tavanote {

class frmIntro;
class frmGestionMessages;

// Loads Qt's own French translations into the running application, so that standard buttons and dialogs speak
// French ("Oui", "Non", "Annuler"). False when they are not installed: they stay in English.
bool installFrenchTranslations();

// One run of the program: the splash, then the main window, which lives until the quit procedure ends it.
class Application {
public:
    explicit Application(Services& services);
    ~Application();

    // False when the program must end at once (another copy runs).
    bool start();

private:
    void loadMainWindow(bool newVersion);

    Services& m_services;
    std::unique_ptr<frmIntro> m_intro;
    std::unique_ptr<frmGestionMessages> m_main;
};

}  // namespace tavanote
