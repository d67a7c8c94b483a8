#pragma once

#include <QString>

namespace tavanote {

// Which messages file a run uses. A program folder holding messages.fdm keeps it there (a portable or per-user
// install), whether the user may write it or not: a protected file is refused when opened, never replaced by
// another one. A program folder without one that the user cannot write (a system-wide install) sends the
// messages to the user's data folder, one file per user, made empty at the first start. A program folder the
// user can write that holds no messages file is a missing file, as it has always been.
struct MessageFileChoice {
    QString path;            // the messages file to open; empty when it belongs to a user without a home folder
    bool perUser = false;    // in the user's data folder, made empty there when missing
    QString folder() const;  // where the file lives, and where the report template is written beside it
};

MessageFileChoice chooseMessageFile(const QString& programFolder, const QString& userDataFolder,
                                    bool programFolderWritable);

// The user's data folder of the program: $XDG_DATA_HOME/Tavanote (~/.local/share/Tavanote by default); empty
// when neither XDG_DATA_HOME nor HOME is set.
QString userDataFolder();

// True when the user may make a file in folder (its permissions and a read-only mount alike).
bool isWritableFolder(const QString& folder);

// Makes the per-user messages file, and its folders, when none is there yet. Empty when the file is there
// afterwards; otherwise why not, in French.
QString makePerUserMessageFile(const QString& path);

}  // namespace tavanote
