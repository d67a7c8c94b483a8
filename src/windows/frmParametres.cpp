#include "frmParametres.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/HandlerScope.h"
#include "common/Preferences.h"
#include "common/SettingsStore.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"
#include "scheduling/NotePlacement.h"

namespace tavanote {

namespace {

QLabel* note(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    QFont font = label->font();
    font.setItalic(true);
    font.setPointSizeF(font.pointSizeF() * 0.9);
    label->setFont(font);
    return label;
}

}  // namespace

frmParametres::frmParametres(Services& services, WindowHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("frmParametres"));
    setWindowTitle(QStringLiteral("Paramètres"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* deletion = new QGroupBox(QStringLiteral("Suppression des messages"), this);
    optSuppression[0] =
        named(new QRadioButton(QStringLiteral("Automatique"), deletion), QStringLiteral("optSuppression_0"),
              QStringLiteral("Suppression automatique des messages"));
    optSuppression[1] = named(new QRadioButton(QStringLiteral("Manuelle"), deletion),
                              QStringLiteral("optSuppression_1"), QStringLiteral("Suppression manuelle des messages"));
    auto* deletionGrid = new QGridLayout(deletion);
    deletionGrid->addWidget(optSuppression[0], 0, 0);
    deletionGrid->addWidget(note("(le message est définitivement supprimé lors de sa fermeture)", deletion), 0, 1);
    deletionGrid->addWidget(optSuppression[1], 1, 0);
    deletionGrid->addWidget(note("(le message est mis dans la liste des messages érronés)", deletion), 1, 1);

    auto* display = new QGroupBox(QStringLiteral("Affichage du message"), this);
    auto* positionGroup = new QWidget(display);
    optPosition[0] = named(new QRadioButton(QStringLiteral("Aléatoire"), positionGroup),
                           QStringLiteral("optPosition_0"), QStringLiteral("Position aléatoire des messages"));
    optPosition[1] = named(new QRadioButton(QStringLiteral("Fixe"), positionGroup), QStringLiteral("optPosition_1"),
                           QStringLiteral("Position fixe des messages"));
    cboPosition = named(new QComboBox(display), QStringLiteral("cboPosition"), QStringLiteral("Position des messages"));
    cboPosition->addItems({QStringLiteral("En haut à gauche"), QStringLiteral("En haut au centre"),
                           QStringLiteral("En haut à droite"), QStringLiteral("Au milieu à gauche"),
                           QStringLiteral("Au milieu au centre"), QStringLiteral("Au milieu à droite"),
                           QStringLiteral("En bas à gauche"), QStringLiteral("En bas au centre"),
                           QStringLiteral("En bas à droite")});
    auto* colourGroup = new QWidget(display);
    optCouleur[0] = named(new QRadioButton(QStringLiteral("Aléatoire"), colourGroup), QStringLiteral("optCouleur_0"),
                          QStringLiteral("Couleur aléatoire des messages"));
    optCouleur[1] = named(new QRadioButton(QStringLiteral("Fixe......................"), colourGroup),
                          QStringLiteral("optCouleur_1"), QStringLiteral("Couleur fixe des messages"));
    cmdCouleur = named(new QPushButton(display), QStringLiteral("cmdCouleur"));
    cmdCouleur->setFixedSize(48, 22);
    chkDateHeure[0] = named(new QCheckBox(QStringLiteral("Afficher la date"), display),
                            QStringLiteral("chkDateHeure_0"), QStringLiteral("Afficher la date dans le message"));
    chkDateHeure[1] = named(new QCheckBox(QStringLiteral("Afficher l'heure"), display),
                            QStringLiteral("chkDateHeure_1"), QStringLiteral("Afficher l'heure dans le message"));
    const QString fermeture = QStringLiteral("Demander la confirmation de la fermeture du message");
    chkFermeture = named(new QCheckBox(fermeture, display), QStringLiteral("chkFermeture"), fermeture);

    auto* positionRow = new QHBoxLayout(positionGroup);
    positionRow->setContentsMargins(0, 0, 0, 0);
    positionRow->addWidget(optPosition[0]);
    positionRow->addWidget(optPosition[1]);
    auto* colourRow = new QHBoxLayout(colourGroup);
    colourRow->setContentsMargins(0, 0, 0, 0);
    colourRow->addWidget(optCouleur[0]);
    colourRow->addWidget(optCouleur[1]);
    auto* displayGrid = new QGridLayout(display);
    displayGrid->addWidget(new QLabel(QStringLiteral("Position"), display), 0, 0);
    displayGrid->addWidget(positionGroup, 0, 1);
    displayGrid->addWidget(cboPosition, 0, 2);
    displayGrid->addWidget(new QLabel(QStringLiteral("Couleur de fond"), display), 1, 0);
    displayGrid->addWidget(colourGroup, 1, 1);
    displayGrid->addWidget(cmdCouleur, 1, 2, Qt::AlignLeft);
    displayGrid->addWidget(new QLabel(QStringLiteral("Date et heure"), display), 2, 0);
    displayGrid->addWidget(chkDateHeure[0], 2, 1);
    displayGrid->addWidget(chkDateHeure[1], 2, 2);
    displayGrid->addWidget(new QLabel(QStringLiteral("Fermeture du message"), display), 3, 0);
    displayGrid->addWidget(chkFermeture, 3, 1, 1, 2);

    const QString demarrage = QStringLiteral("Démarrer le programme au démarrage de l'ordinateur");
    chkDemarragePC = named(new QCheckBox(demarrage, this), QStringLiteral("chkDemarragePC"), demarrage);
    const QString fin = QStringLiteral("Confirmer la fin du programme en quittant");
    chkFinProgramme = named(new QCheckBox(fin, this), QStringLiteral("chkFinProgramme"), fin);

    const char* const captions[3] = {"&Enregistrer les paramètres", "&Aide", "&Quitter"};
    const char* const tips[3] = {"Enregistrer les paramètres", "Affiche l'aide...", "Fermer la fenêtre"};
    auto* buttons = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        Boutons[static_cast<size_t>(i)] = named(new QPushButton(QString::fromUtf8(captions[i]), this),
                                                QStringLiteral("Boutons_%1").arg(i), QString::fromUtf8(tips[i]));
        buttons->addWidget(Boutons[static_cast<size_t>(i)]);
        connect(Boutons[static_cast<size_t>(i)], &QPushButton::clicked, this, [this, i] { Boutons_Click(i); });
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(deletion);
    layout->addWidget(display);
    layout->addWidget(chkDemarragePC);
    layout->addWidget(chkFinProgramme);
    layout->addLayout(buttons);

    for (QRadioButton* option : {optPosition[0], optPosition[1], optCouleur[0], optCouleur[1]})
        connect(option, &QRadioButton::toggled, this, &frmParametres::updateEnabling);
    connect(cmdCouleur, &QPushButton::clicked, this, &frmParametres::cmdCouleur_Click);
    connect(chkDemarragePC, &QCheckBox::clicked, this, &frmParametres::chkDemarragePC_Click);
    installWindowKeys(this, {&m_services.help, HelpContext::Settings, &host, {}});
}

void frmParametres::Form_Load() {
    adjustSize();
    CentreWindow(this);
    SetTopMost(this, true);
    const Preferences& preferences = m_services.preferences;
    cboPosition->setCurrentIndex(0);
    setColour(Preferences::kDefaultColour);
    optSuppression[preferences.expiry() == Expiry::Delete ? 0 : 1]->setChecked(true);
    // A place the program never writes opens notes where the window system puts them; it shows as "Fixe" on the
    // first entry.
    const NotePlace place = preferences.notePlace();
    optPosition[place.kind == NotePlace::Kind::Random ? 0 : 1]->setChecked(true);
    if (place.kind == NotePlace::Kind::Fixed)
        cboPosition->setCurrentIndex(place.fixed);
    const std::optional<quint32> colour = preferences.noteColour();
    optCouleur[colour ? 1 : 0]->setChecked(true);
    if (colour)
        setColour(*colour);
    const NoteStamp stamp = preferences.noteStamp();
    chkDateHeure[0]->setChecked(stamp.date);
    chkDateHeure[1]->setChecked(stamp.time);
    chkDemarragePC->setChecked(preferences.startWithComputer());
    chkFermeture->setChecked(preferences.askBeforeClosingNote());
    chkFinProgramme->setChecked(preferences.askBeforeQuitting());
    updateEnabling();
}

void frmParametres::updateEnabling() {
    cmdCouleur->setEnabled(optCouleur[1]->isChecked());
    cboPosition->setEnabled(optPosition[1]->isChecked());
}

void frmParametres::setColour(quint32 stored) {
    m_colour = stored;
    cmdCouleur->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #606060;")
                                  .arg(QColor::fromRgb(storedToRgb(stored)).name()));
}

void frmParametres::cmdCouleur_Click() {
    const std::optional<QColor> chosen = m_services.dialogs.color(this, QColor::fromRgb(storedToRgb(m_colour)));
    if (!chosen)
        return;  // cancelled: the colour stays
    setColour(static_cast<quint32>(chosen->red()) | (static_cast<quint32>(chosen->green()) << 8) |
              (static_cast<quint32>(chosen->blue()) << 16));
}

void frmParametres::untickStartWithComputer() {
    chkDemarragePC->setChecked(false);
    chkDemarragePC_Click();
}

void frmParametres::chkDemarragePC_Click() {
    if (chkDemarragePC->isChecked())
        return;
    HandlerScope handler;
    const QString question = QStringLiteral(
        "Êtes-vous sûr(e) que le programme ne doit pas s'activer \npas au prochain démarrage de l'ordinateur ?\n\n"
        "Attention:\nLes messages ne pourront pas s'afficher si le programme\nn'est pas démarré.");
    if (m_services.dialogs.message(this, question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        chkDemarragePC->setChecked(true);
}

void frmParametres::Boutons_Click(int index) {
    if (index == 1) {
        m_services.help.show(this, HelpContext::Settings);
        return;
    }
    if (index == 2) {
        close();
        return;
    }
    HandlerScope handler;
    Preferences& preferences = m_services.preferences;
    preferences.setExpiry(optSuppression[0]->isChecked() ? Expiry::Delete : Expiry::KeepAsErrone);
    preferences.setNotePlace(optPosition[0]->isChecked() ? std::nullopt : std::optional(cboPosition->currentIndex()));
    preferences.setNoteColour(optCouleur[0]->isChecked() ? std::nullopt : std::optional(m_colour));
    preferences.setNoteStamp({chkDateHeure[0]->isChecked(), chkDateHeure[1]->isChecked()});
    preferences.setStartWithComputer(chkDemarragePC->isChecked());
    applyStartWithComputer(m_services, this, chkDemarragePC->isChecked() ? 1 : 0, this);
    preferences.setAskBeforeClosingNote(chkFermeture->isChecked());
    preferences.setAskBeforeQuitting(chkFinProgramme->isChecked());
    // Every key in one write; a failure already told at start is not told again.
    const bool couldSave = m_services.settings.canSave();
    if (!m_services.settings.save() && couldSave)
        m_services.dialogs.message(this, m_services.settings.faultText(), Icon::Exclamation, Buttons::Ok);
}

void frmParametres::closeEvent(QCloseEvent* event) {
    event->accept();
}

void applyStartWithComputer(Services& services, QWidget* parent, int value, frmParametres* openSettings) {
    const Autostart::Outcome outcome = services.platform.applyAutostart(value);
    // Removing the entry is silent whatever happens; only registering tells the user of a fault.
    if (outcome == Autostart::Outcome::Done || value != 1)
        return;
    if (outcome == Autostart::Outcome::Failed) {
        // The entry could not be written: said once, with why; the user's choice stays as it is.
        services.dialogs.message(parent,
                                 QStringLiteral("Le démarrage avec la session n'a pas pu être enregistré dans:\n") +
                                     QDir::toNativeSeparators(services.platform.autostartEntry()) +
                                     QStringLiteral("\n\n") + services.platform.autostartFailure(),
                                 Icon::Information, Buttons::Ok, QStringLiteral("ERREUR..."));
        return;
    }
    const QFileInfo executable(services.platform.executablePath());
    const QString text = QStringLiteral("Fichier introuvable: ") + executable.fileName() +
                         QStringLiteral(" n'a pas été trouvé.\nCelui-ci devrait se trouver dans le dossier: \n") +
                         QDir::toNativeSeparators(executable.absolutePath());
    services.dialogs.message(parent, text, Icon::Information, Buttons::Ok, QStringLiteral("ERREUR..."));
    // The box of the settings window is unticked, with its question, as if the user had done it.
    std::unique_ptr<frmParametres> hidden;
    if (!openSettings) {
        // Never shown: it has no about window to open.
        static struct : WindowHost {
            void showAbout() override {}
        } unseen;
        hidden = std::make_unique<frmParametres>(services, unseen);
        hidden->setAttribute(Qt::WA_DeleteOnClose, false);
        hidden->Form_Load();
        openSettings = hidden.get();
    }
    openSettings->untickStartWithComputer();
    services.platform.applyAutostart(0);
}

}  // namespace tavanote
