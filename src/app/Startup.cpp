#include "Startup.h"

#include <QDir>

#include "common/DateText.h"
#include "common/FileExists.h"
#include "common/Preferences.h"
#include "common/SettingsStore.h"

namespace tavanote {

QString versionText() {
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

PreparedSettings prepareSettings(SettingsStore& settings, const QString& programFolder, const QDate& today) {
    PreparedSettings prepared;
    Preferences preferences(settings);
    if (preferences.leftByFirstVersion()) {
        prepared.newVersion = true;
        for (const char* old : {"demarrage GEST", "demarrage OS", "etat", "fin GEST", "fin MESS"})
            settings.removeSection(QLatin1String(old));
    }
    preferences.setProgramFolder(withTrailingSeparator(programFolder));
    if (preferences.firstStartDate().isEmpty())
        preferences.setFirstStartDate(today);
    preferences.writeMissingDefaults();
    preferences.setVersion(versionText());

    // Written back as "0" or "1".
    prepared.startWithComputer = preferences.startWithComputer() ? 1 : 0;
    preferences.setStartWithComputer(prepared.startWithComputer == 1);
    return prepared;
}

QString settingsUnsavedText(const QString& path) {
    const QString where =
        path.isEmpty() ? QStringLiteral(
                             "Les paramètres ne peuvent pas être enregistrés: aucun dossier personnel n'est défini "
                             "(ni HOME ni XDG_CONFIG_HOME).")
                       : QStringLiteral(
                             "Les paramètres ne peuvent pas être enregistrés dans:\n%1\n\nCe dossier n'est pas "
                             "accessible en écriture.")
                             .arg(QDir::toNativeSeparators(path));
    return where + QStringLiteral(
                       "\n\nLe programme utilise les paramètres par défaut; les changements faits pendant cette "
                       "session seront perdus à sa fin.");
}

QString quitWarning(int active, int displayed) {
    QString warning;
    if (active >= 1) {
        warning = QStringLiteral(
                      "\n\nAttention:\nIl existe des messages actifs à afficher [%1 message(s)]\n"
                      "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.")
                      .arg(active);
    }
    if (displayed >= 1) {
        if (warning.isEmpty() && displayed != 1) {
            warning = QStringLiteral(
                          "\n\nAttention:\nIl existe des messages actuellement affichés [%1 messages]\n"
                          "Ceux-ci ne seront plus affichés si vous quittez le programme.")
                          .arg(displayed);
        } else if (warning.isEmpty()) {
            warning = QStringLiteral(
                "\n\nAttention:\nIl existe un message actuellement affiché.\n"
                "Celui-ci ne sera plus affiché si vous quittez le programme.");
        } else if (displayed != 1) {
            warning += QStringLiteral(
                           "\nDe plus, %1 messages sont actuellement affichés.\n"
                           "Ceux-ci ne seront plus affichés si vous quittez le programme.")
                           .arg(displayed);
        } else {
            warning += QStringLiteral(
                "\nDe plus, 1 message est actuellement affiché.\n"
                "Celui-ci ne sera plus affiché si vous quittez le programme.");
        }
    }
    return warning;
}

QString quitQuestion(int active, int displayed) {
    return QStringLiteral("Êtes-vous sûr(e) de vouloir quitter le programme 'Tavanote' ?") +
           quitWarning(active, displayed);
}

}  // namespace tavanote
