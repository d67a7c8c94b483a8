#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <memory>

class QSettings;

namespace tavanote {

// The user's settings area: an INI file, one group per section. Any section or key name and any value
// round-trips, blanks, accents, ":", "/", commas, quotes and line breaks included.
class SettingsStore {
public:
    // The file the program uses: $XDG_CONFIG_HOME/Tavanote/Tavanote.ini (~/.config/... by default).
    static QString defaultPath();

    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // A missing key reads as the empty text.
    QString get(const QString& section, const QString& key) const;
    void set(const QString& section, const QString& key, const QString& value);
    // Every key and value of a section, in the order the area gives them.
    QList<QPair<QString, QString>> section(const QString& section) const;
    void removeSection(const QString& section);

    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

// The section of the program's own keys.
inline const QString kParametres = QStringLiteral("parametres");

}  // namespace tavanote
