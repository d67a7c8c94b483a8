#include "MessageFile.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "store/MessageStore.h"

namespace tavanote {

QString MessageFileChoice::folder() const {
    return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

MessageFileChoice chooseMessageFile(const QString& programFolder, const QString& userDataFolder,
                                    bool programFolderWritable) {
    const QString inProgramFolder = MessageStore::pathIn(programFolder);
    // Whatever carries the name counts, a broken link or a folder included: opening it tells the user what is
    // wrong with it.
    const QFileInfo there(inProgramFolder);
    if (there.exists() || there.isSymLink() || programFolderWritable)
        return {inProgramFolder, false};
    return {userDataFolder.isEmpty() ? QString() : MessageStore::pathIn(userDataFolder), true};
}

QString userDataFolder() {
    // Without HOME the engine would fall back on the root folder: messages there would belong to nobody.
    if (!QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME")) && qEnvironmentVariable("HOME").isEmpty())
        return QString();
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Tavanote");
}

bool isWritableFolder(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString makePerUserMessageFile(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral(
            "Le dossier du programme ne contient pas de fichier des messages et ne peut pas en recevoir, et aucun "
            "dossier personnel n'est défini pour en créer un (ni HOME ni XDG_DATA_HOME).");
    const QFileInfo file(path);
    if (file.exists() || file.isSymLink())
        return QString();
    const QString folder = file.absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("Le dossier %1 ne peut pas être créé.").arg(QDir::toNativeSeparators(folder));
    QString error;
    // Another copy starting at the same moment may have made it first: the file is there all the same.
    if (!MessageStore::createEmpty(path, &error) && !QFileInfo::exists(path))
        return QStringLiteral("Le fichier des messages %1 ne peut pas être créé: %2")
            .arg(QDir::toNativeSeparators(path), error);
    return QString();
}

}  // namespace tavanote
