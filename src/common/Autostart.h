#pragma once

#include <QString>

namespace tavanote {

// Starting with the user's session: an XDG autostart entry that runs the program's executable.
class Autostart {
public:
    enum class Outcome { Done, MissingExecutable, Failed };

    // $XDG_CONFIG_HOME/autostart/Tavanote.desktop (~/.config/autostart/... by default).
    static QString defaultEntryPath();

    Autostart(QString entryPath, QString executablePath);
    // Named in the entry (X-Tavanote-Messages) so that whoever reads it knows which file the program uses.
    void setMessageFile(QString path) { m_messageFile = std::move(path); }

    // 1 writes the entry (twice leaves one), 0 removes it, any other value does nothing.
    Outcome apply(int value);
    // Why the last apply() failed, in French; empty after one that did not.
    const QString& failure() const { return m_failure; }
    bool isRegistered() const;

    const QString& entryPath() const { return m_entryPath; }
    const QString& executablePath() const { return m_executablePath; }

    // The Exec line's program, quoted and escaped as desktop entries require.
    static QString quotedExec(const QString& executablePath);
    static QString entryText(const QString& executablePath, const QString& messageFile = QString());
    // Why the entry cannot be written for this program (in French): a desktop entry holds one value a line, and
    // no value may hold a control character (a line break would add lines of its own, an Exec among them).
    // Empty when it can.
    static QString entryFault(const QString& executablePath);

private:
    bool remove();
    QString m_entryPath;
    QString m_executablePath;
    QString m_messageFile;
    QString m_failure;
};

}  // namespace tavanote
