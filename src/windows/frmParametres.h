#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "common/Preferences.h"
#include "common/Services.h"
#include "common/WindowHost.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tavanote {

// The window where the user changes the program's settings; they are written all at once on "Enregistrer".
class frmParametres : public QWidget {
    Q_OBJECT
public:
    frmParametres(Services& services, WindowHost& host, QWidget* parent = nullptr);

    void Form_Load();

    // Unticks the start-with-the-computer box as a click would, with its question.
    void untickStartWithComputer();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Boutons_Click(int index);
    // The click handling of the start-with-the-computer box: unticked, it asks whether that is really meant.
    void chkDemarragePC_Click();
    void setColour(quint32 stored);
    void cmdCouleur_Click();
    void updateEnabling();

    std::array<QRadioButton*, 2> optSuppression{};
    std::array<QRadioButton*, 2> optPosition{};
    QComboBox* cboPosition;
    std::array<QRadioButton*, 2> optCouleur{};
    QPushButton* cmdCouleur;
    std::array<QCheckBox*, 2> chkDateHeure{};
    QCheckBox* chkFermeture;
    QCheckBox* chkDemarragePC;
    QCheckBox* chkFinProgramme;
    std::array<QPushButton*, 3> Boutons{};

    Services& m_services;
    quint32 m_colour = Preferences::kDefaultColour;
};

// Applies "demarrage pc" to the session's start-up entry. When the executable is missing, the user is told, the
// start-up box of the settings window is unticked (the window is loaded hidden for it when none is open) and
// the entry removed.
void applyStartWithComputer(Services& services, QWidget* parent, int value, frmParametres* openSettings = nullptr);

}  // namespace tavanote
