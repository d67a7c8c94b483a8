#pragma once

#include <QDate>
#include <QString>

namespace tavanote {

class SettingsStore;

inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;
QString versionText();  // "2.0.0"

struct PreparedSettings {
    bool newVersion = false;    // a settings area left by version 1.0.0 was found
    int startWithComputer = 1;  // "demarrage pc" after its repair: 0 or 1
};

// The splash's work on the settings: the previous-version test and the removal of its sections, the program
// folder, the first-start date, every missing default in order, the version, and "demarrage pc" repaired.
PreparedSettings prepareSettings(SettingsStore& settings, const QString& programFolder, const QDate& today);

// Said at start when the settings cannot be written to path (empty: the user has no configuration folder).
QString settingsUnsavedText(const QString& path);

// The warning added to the quit question for A active and D displayed messages (empty when both are 0).
QString quitWarning(int active, int displayed);
QString quitQuestion(int active, int displayed);

}  // namespace tavanote
