#include "SafeWrite.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include "store/StoreError.h"

namespace tavanote {

FileWriteResult writeFileSafely(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // QSaveFile::commit() does not report a failure of the flush it runs itself, and would then put an empty or
    // cut file in place of the old one: the flush is asked for, and checked, before.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit())
        return {};
    const QFileDevice::FileError error = file.error();
    // A write cut short leaves no words of the system ("Unknown error"): none then.
    const QString words = file.errorString() == QFile().errorString() ? QString() : file.errorString();
    if (file.isOpen())
        file.cancelWriting();
    return explainWriteFailure(path, bytes.size(), error, words);
}

FileWriteResult explainWriteFailure(const QString& path, qint64 size, int qtError, const QString& words) {
    FileWriteResult result{FileWriteFailure::DiskError, words};
    const QString folder = QFileInfo(path).absolutePath();
    const QStorageInfo storage(folder);
    if (!QFileInfo(folder).isDir())
        result.failure = FileWriteFailure::MissingFolder;
    else if (qtError == QFileDevice::ResourceError ||  // Qt's word for ENOSPC
             (storage.isValid() && storage.bytesAvailable() <= size))
        result.failure = FileWriteFailure::DiskFull;
    else if (storage.isReadOnly() || !QFileInfo(folder).isWritable() ||
             (QFileInfo::exists(path) && !QFileInfo(path).isWritable()))
        result.failure = FileWriteFailure::WriteProtected;
    return result;
}

QString fileWriteErrorText(const FileWriteResult& result) {
    switch (result.failure) {
        case FileWriteFailure::None:
            return QString();
        case FileWriteFailure::DiskFull:
            return storeErrorText({StoreErrorKind::DiskFull, result.words});
        case FileWriteFailure::WriteProtected:
            return storeErrorText({StoreErrorKind::WriteProtected, result.words});
        case FileWriteFailure::MissingFolder:
            return QStringLiteral(
                "Le dossier du fichier n'existe pas: choisissez un dossier existant, puis "
                "recommencez.");
        case FileWriteFailure::DiskError:
            break;
    }
    return storeErrorText({StoreErrorKind::DiskError, result.words});
}

QString fileWriteFailureText(const QString& path, const FileWriteResult& result) {
    return QStringLiteral("Impossible d'enregistrer le fichier [") + QFileInfo(path).fileName() +
           QStringLiteral("].\n\n") + fileWriteErrorText(result);
}

}  // namespace tavanote
