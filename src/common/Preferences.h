#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace tavanote {

class SettingsStore;

// What becomes of a message with no display left.
enum class Expiry { Delete, KeepAsErrone };

// The program's own keys of the section "parametres", each read by one rule and with one default. Windows read
// them here and hand the rules plain values.
class Preferences {
public:
    explicit Preferences(SettingsStore& settings) : m_settings(settings) {}

    // The colour of a note when the user has not chosen one: light yellow, stored BBGGRR.
    static constexpr quint32 kDefaultColour = 0xC0FFFF;

    // Every key with the value written at start when it is missing, in the order they are written.
    static const std::vector<std::pair<QString, QString>>& defaults();

    // "suppression": "0" deletes; any other value, a missing one too, keeps the message as "errone".
    Expiry expiry() const;
    void setExpiry(Expiry expiry);
    // "confirmation fermeture": asked only when the value is "1".
    bool askBeforeClosingNote() const;

    QString get(const QString& key) const;
    void set(const QString& key, const QString& value);

private:
    SettingsStore& m_settings;
};

}  // namespace tavanote
