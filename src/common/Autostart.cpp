#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "common/FileExists.h"

namespace tavanote {

QString Autostart::defaultEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/Tavanote.desktop");
}

Autostart::Autostart(QString entryPath, QString executablePath)
    : m_entryPath(std::move(entryPath)), m_executablePath(std::move(executablePath)) {}

QString Autostart::quotedExec(const QString& executablePath) {
    // Inside double quotes, '"', '`', '$' and '\' take a backslash; then the whole value is a desktop entry
    // string, whose own escaping doubles every backslash. A '%' is a field code unless doubled.
    QString quoted;
    for (const QChar c : executablePath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Autostart::entryText(const QString& executablePath) {
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Tavanote\n"
               "Comment=Affiche automatiquement vos rendez-vous, notes...\n"
               "Exec=%1\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n")
        .arg(quotedExec(executablePath));
}

Autostart::Outcome Autostart::apply(int value) {
    if (value == 0)
        return remove() ? Outcome::Done : Outcome::Failed;
    if (value != 1)
        return Outcome::Done;
    if (!FileExists(m_executablePath))
        return Outcome::MissingExecutable;
    if (!QDir().mkpath(QFileInfo(m_entryPath).absolutePath()))
        return Outcome::Failed;
    QSaveFile file(m_entryPath);
    if (!file.open(QIODevice::WriteOnly))
        return Outcome::Failed;
    file.write(entryText(m_executablePath).toUtf8());
    return file.commit() ? Outcome::Done : Outcome::Failed;
}

bool Autostart::remove() {
    return !QFileInfo::exists(m_entryPath) || QFile::remove(m_entryPath);
}

bool Autostart::isRegistered() const {
    return QFileInfo::exists(m_entryPath);
}

}  // namespace tavanote
