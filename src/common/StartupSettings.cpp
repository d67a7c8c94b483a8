#include "StartupSettings.h"

#include <QDir>

#include "common/DateText.h"
#include "common/FileExists.h"
#include "common/Preferences.h"
#include "common/SettingsStore.h"
#include "common/Version.h"

namespace tavanote {

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

}  // namespace tavanote
