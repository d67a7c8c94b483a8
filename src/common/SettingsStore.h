#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <memory>

namespace tavanote {

// The user's settings area: an INI file, one group per section, read and written as QSettings does. Any section
// or key name and any value round-trips, blanks, accents, ":", "/", commas, quotes and line breaks included.
// Only the lines the program changes are rewritten: sections, keys and comments put there by other tools stay
// as they were, byte for byte.
class SettingsStore {
public:
    // The file the program uses: $XDG_CONFIG_HOME/Tavanote/Tavanote.ini (~/.config/... by default); empty when
    // the user has no configuration folder (neither XDG_CONFIG_HOME nor HOME is set).
    static QString defaultPath();

    // With an empty path the settings live for this run only.
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
    // False once a change could not be written to the file (or there is no file): the settings then hold for
    // this run only.
    bool canSave() const;

private:
    struct File;
    std::unique_ptr<File> m_file;
};

// The user's configuration folder: $XDG_CONFIG_HOME, else ~/.config; empty when neither is known.
QString userConfigFolder();

// The section of the program's own keys.
inline const QString kParametres = QStringLiteral("parametres");

}  // namespace tavanote
