#pragma once

#include <QString>

namespace tavanote {

class MessageStore;
class SettingsStore;

struct RecoveryResult {
    bool failed = false;  // nothing was changed, in the store or in the settings
    int count = 0;        // messages brought over
    QString text;         // the box shown to the user
    bool refreshLists = false;
};

// Brings the messages the previous version kept in the settings ("liste" and one section per message) into the
// store as one-time messages, then removes them from the settings. All of it happens, or none of it.
RecoveryResult RecoverOldMessages(MessageStore& store, SettingsStore& settings);

// The question asked at start after a version change when old messages may be left.
QString recoveryOffer();

}  // namespace tavanote
