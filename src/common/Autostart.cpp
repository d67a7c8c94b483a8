#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

#include "common/FileExists.h"
#include "common/SafeWrite.h"
#include "common/SettingsStore.h"

namespace tavanote {

QString Autostart::defaultEntryPath() {
    const QString folder = userConfigFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/autostart/Tavanote.desktop");
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

namespace {

const QString kName = QStringLiteral("Tavanote");
const QString kComment = QStringLiteral("Affiche automatiquement vos rendez-vous, notes...");

bool isControl(QChar c) {
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// The text with its control characters written as escapes, so that the user sees where they are.
QString shownWithEscapes(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            shown += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            shown += QStringLiteral("\\t");
        else if (isControl(c))
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

}  // namespace

QString Autostart::entryText(const QString& executablePath, const QString& messageFile) {
    // A desktop entry string: a backslash and the control characters a path may hold are escaped, so the value
    // stays on its one line.
    QString messages;
    for (const QChar c : messageFile) {
        if (c == QLatin1Char('\\'))
            messages += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            messages += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            messages += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            messages += QLatin1String("\\t");
        else if (c.category() != QChar::Other_Control)
            messages += c;
    }
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=%1\n"
               "Comment=%2\n"
               "Exec=%3\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n")
               .arg(kName, kComment, quotedExec(executablePath)) +
           (messages.isEmpty() ? QString() : QStringLiteral("X-Tavanote-Messages=") + messages + QLatin1Char('\n'));
}

QString Autostart::entryFault(const QString& executablePath) {
    for (const QString& value : {kName, kComment, executablePath}) {
        if (std::any_of(value.begin(), value.end(), isControl))
            return QStringLiteral(
                       "Le chemin du programme contient un caractère de contrôle (un saut de ligne, une "
                       "tabulation...), qu'une entrée de démarrage ne peut pas contenir:\n%1\nPlacez le programme "
                       "dans un dossier dont le nom n'en contient pas.")
                .arg(QDir::toNativeSeparators(shownWithEscapes(value)));
    }
    return QString();
}

Autostart::Outcome Autostart::apply(int value) {
    m_failure.clear();
    const auto fail = [this](const QString& reason) {
        m_failure = reason;
        return Outcome::Failed;
    };
    if (value == 0)
        return remove() ? Outcome::Done : fail(QStringLiteral("L'entrée ne peut pas être supprimée."));
    if (value != 1)
        return Outcome::Done;
    if (!FileExists(m_executablePath))
        return Outcome::MissingExecutable;
    if (m_entryPath.isEmpty())
        return fail(QStringLiteral("Aucun dossier personnel n'est défini (ni HOME ni XDG_CONFIG_HOME)."));
    if (const QString fault = entryFault(m_executablePath); !fault.isEmpty())
        return fail(fault);
    const QString folder = QFileInfo(m_entryPath).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("Le dossier %1 ne peut pas être créé.").arg(QDir::toNativeSeparators(folder)));
    const FileWriteResult written = writeFileSafely(m_entryPath, entryText(m_executablePath, m_messageFile).toUtf8());
    if (!written.ok())
        return fail(fileWriteErrorText(written));
    return Outcome::Done;
}

bool Autostart::remove() {
    return m_entryPath.isEmpty() || !QFileInfo::exists(m_entryPath) || QFile::remove(m_entryPath);
}

bool Autostart::isRegistered() const {
    return QFileInfo::exists(m_entryPath);
}

}  // namespace tavanote
