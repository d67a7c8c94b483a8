#pragma once

#include <QByteArray>
#include <QString>

namespace tavanote {

// Why a file could not be written, as the user needs to hear it.
enum class FileWriteFailure { None, DiskFull, WriteProtected, MissingFolder, DiskError };

struct FileWriteResult {
    FileWriteFailure failure = FileWriteFailure::None;
    QString words;  // the system's own words

    bool ok() const { return failure == FileWriteFailure::None; }
};

// Writes the file whole or not at all: the bytes go to a file beside it, every write and the flush to the disk are
// checked, and only then does it take the name. On any failure an older file of that name stays as it was.
FileWriteResult writeFileSafely(const QString& path, const QByteArray& bytes);

// Why writing size bytes to path failed, from Qt's error (QFileDevice::FileError) and what its folder and disk say.
FileWriteResult explainWriteFailure(const QString& path, qint64 size, int qtError, const QString& words);

// The cause in French, phrased as the message file's failures are ("Le disque est plein: ...").
QString fileWriteErrorText(const FileWriteResult& result);

// One box's text: "Impossible d'enregistrer le fichier [name]." then why.
QString fileWriteFailureText(const QString& path, const FileWriteResult& result);

}  // namespace tavanote
