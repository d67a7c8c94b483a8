#include "StoreError.h"

#include <sqlite3.h>

namespace tavanote {

StoreError StoreError::fromCode(int code, const QString& words) {
    StoreErrorKind kind = StoreErrorKind::Other;
    switch (code & 0xff) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return {};
        case SQLITE_FULL:
            kind = StoreErrorKind::DiskFull;
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            kind = StoreErrorKind::InUse;
            break;
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            kind = StoreErrorKind::WriteProtected;
            break;
        case SQLITE_IOERR:
            kind = StoreErrorKind::DiskError;
            break;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            kind = StoreErrorKind::Damaged;
            break;
        case SQLITE_CONSTRAINT:
        case SQLITE_MISMATCH:
        case SQLITE_TOOBIG:
            kind = StoreErrorKind::Refused;
            break;
        default:
            break;
    }
    return {kind, words};
}

QString storeErrorText(const StoreError& error) {
    QString reason;
    switch (error.kind) {
        case StoreErrorKind::None:
            return QString();
        case StoreErrorKind::DiskFull:
            reason = QStringLiteral("Le disque est plein: libérez de la place sur le disque, puis recommencez.");
            break;
        case StoreErrorKind::InUse:
            reason = QStringLiteral(
                "Le fichier est utilisé par un autre programme: attendez qu'il ait fini, ou fermez-le, puis "
                "recommencez.");
            break;
        case StoreErrorKind::WriteProtected:
            reason = QStringLiteral("Le fichier est protégé en écriture (le fichier, son dossier ou le disque).");
            break;
        case StoreErrorKind::DiskError:
            reason =
                QStringLiteral("Le disque n'a pas pu écrire le fichier (disque en erreur ou protégé en écriture).");
            break;
        case StoreErrorKind::Damaged:
            reason = QStringLiteral("Le fichier est endommagé.");
            break;
        case StoreErrorKind::Refused:
            // A refused row comes with the rule it breaks, already in French.
            return error.words.isEmpty() ? QStringLiteral("Le fichier a refusé la modification de ce message.")
                                         : error.words;
        case StoreErrorKind::NotOpen:
            return QStringLiteral("Le fichier des messages n'est pas ouvert.");
        case StoreErrorKind::Other:
            reason = QStringLiteral("Le fichier des messages a refusé l'opération.");
            break;
    }
    if (!error.words.isEmpty())
        reason += QStringLiteral("\n(%1)").arg(error.words);
    return reason;
}

QString storeFailureText(const QString& action, const StoreError& error) {
    return action + QStringLiteral("\n\n") + storeErrorText(error);
}

}  // namespace tavanote
