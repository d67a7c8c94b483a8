#include "frmIntro.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "common/SettingsStore.h"
#include "common/StartupSettings.h"
#include "common/Version.h"
#include "common/WindowHelpers.h"
#include "windows/frmParametres.h"

namespace tavanote {

frmIntro::frmIntro(Services& services, std::function<void(bool)> unloaded, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      lblTitre(new QLabel(this)),
      lblVersion(new QLabel(this)),
      Timer1(new QTimer(this)),
      m_services(services),
      m_unloaded(std::move(unloaded)) {
    setObjectName(QStringLiteral("frmIntro"));
    setWindowTitle(kTitle);
    lblTitre->setObjectName(QStringLiteral("lblTitre"));
    lblTitre->setToolTip(QStringLiteral("Nom du programme"));
    lblTitre->setAlignment(Qt::AlignCenter);
    QFont titleFont = lblTitre->font();
    titleFont.setPointSize(28);
    titleFont.setBold(true);
    lblTitre->setFont(titleFont);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setToolTip(QStringLiteral("Numéro de version du programme"));
    lblVersion->setAlignment(Qt::AlignCenter);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmIntro::Timer1_Timer);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    layout->addWidget(lblTitre);
    layout->addWidget(lblVersion);
    setStyleSheet(QStringLiteral("frmIntro { background: #ffffc0; border: 1px solid #808080; }"));
    setAttribute(Qt::WA_StyledBackground, true);
    resize(360, 180);
}

bool frmIntro::Form_Load() {
    if (!m_services.platform.claimSingleCopy()) {
        m_services.dialogs.message(nullptr, QStringLiteral("Le programme est déjà en cours d'utilisation."),
                                   Icon::Information, Buttons::Ok);
        return false;
    }
    CentreWindow(this);
    lblTitre->setText(kTitle);
    lblVersion->setText(QStringLiteral("Version ") + versionText());

    const PreparedSettings prepared =
        prepareSettings(m_services.settings, m_services.programFolder, m_services.clock.now().date());
    m_newVersion = prepared.newVersion;
    if (!m_services.settings.canSave()) {
        // The start-up entry lives beside the settings and would fail alike: one box says it all.
        m_services.dialogs.message(nullptr, settingsUnsavedText(m_services.settings.fileName()), Icon::Exclamation,
                                   Buttons::Ok);
    } else {
        applyStartWithComputer(m_services, this, prepared.startWithComputer);
    }
    Timer1->start();
    return true;
}

void frmIntro::Timer1_Timer() {
    if (++m_ticks < 2)
        return;
    Timer1->stop();
    close();
    if (m_unloaded)
        m_unloaded(m_newVersion);
}

}  // namespace tavanote
