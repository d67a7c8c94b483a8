#pragma once

#include <QDate>
#include <QString>

namespace tavanote {

class SettingsStore;

struct PreparedSettings {
    bool newVersion = false;    // a settings area left by version 1.0.0 was found
    int startWithComputer = 1;  // "demarrage pc" after its repair: 0 or 1
};

// The splash's work on the settings: the previous-version test and the removal of its sections, the program
// folder, the first-start date, every missing default in order, the version, and "demarrage pc" repaired.
PreparedSettings prepareSettings(SettingsStore& settings, const QString& programFolder, const QDate& today);

// Said at start when the settings cannot be written to path (empty: the user has no configuration folder).
QString settingsUnsavedText(const QString& path);

}  // namespace tavanote
