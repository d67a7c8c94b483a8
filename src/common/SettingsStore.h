#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QSettings;

namespace tavanote {

// The user's settings area: an INI file read and written by QSettings, one group per section. Any section or key
// name and any value round-trips, blanks, accents, ":", "/", commas, quotes and line breaks included.
//
// Every read looks at the file as it is now, so a value changed by hand while the program runs counts at its
// next use. Changes wait in memory until save(), which writes them over the file as it is then (keys and sections
// other tools added meanwhile are kept), whole, through a temporary file renamed into place: one user action is
// one write. A link stays a link and its target keeps its owner and mode.
//
// A path that is not a regular file (a folder, a pipe, a device) or is over kMaxFileSize is never read: the
// settings then hold for this run only and nothing is written there.
class SettingsStore {
public:
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

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
    // Writes the changes made since the last save; true when they are on the disk (or there were none).
    bool save();

    QString fileName() const;
    // False once the file could not be read or a change could not be written to it (or there is no file): the
    // settings then hold for this run only.
    bool canSave() const;
    // The box that says so: what cannot be read or saved, where, and why. Empty while canSave().
    QString faultText() const;
    // How many times the file was written (each save that had changes).
    int writes() const { return m_writes; }

private:
    // One change waiting for save(): a key set, or a whole section removed (no key).
    struct Change {
        QString section;
        QString key;
        QString value;
    };
    std::optional<QString> pendingValue(const QString& section, const QString& key) const;
    bool refresh() const;
    void fail(const QString& text) const;

    QString m_path;
    mutable QString m_fault;  // the box that says why the file is not used; empty while it is
    std::unique_ptr<QSettings> m_settings;
    std::vector<Change> m_changes;
    int m_writes = 0;
};

// The user's configuration folder: $XDG_CONFIG_HOME, else ~/.config; empty when neither is known.
QString userConfigFolder();

// The section of the program's own keys.
inline const QString kParametres = QStringLiteral("parametres");

}  // namespace tavanote
