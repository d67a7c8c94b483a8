#include "StartupSettings.h"

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
    settings.save();
    return prepared;
}

}  // namespace tavanote
