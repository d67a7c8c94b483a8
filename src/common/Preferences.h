#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace tavanote {

class SettingsStore;

// What becomes of a message with no display left.
enum class Expiry { Delete, KeepAsErrone };

// Where notes open.
struct NotePlace {
    enum class Kind { Random, Fixed, WindowSystem };
    Kind kind = Kind::Random;
    int fixed = 0;  // for Kind::Fixed: 0 top left, 1 top centre ... 8 bottom right
};

// What a note shows of the moment it opened.
struct NoteStamp {
    bool date = true;
    bool time = true;
};

// The program's own keys of the section "parametres", each read by one rule and with one default. Windows read
// them here and hand the rules plain values; every window that shows a key reads it as the part that uses it.
class Preferences {
public:
    explicit Preferences(SettingsStore& settings) : m_settings(settings) {}

    // The colour of a note when the user has not chosen one: light yellow, stored BBGGRR.
    static constexpr quint32 kDefaultColour = 0xC0FFFF;

    // The start's repair: every missing key with its default, in a fixed order, "legende" last.
    void writeMissingDefaults();
    // A settings area written by version 1.0.0: a "date de debut" but no "suppression".
    bool leftByFirstVersion() const;

    // "suppression": "0" deletes; any other value, a missing one too, keeps the message as "errone".
    Expiry expiry() const;
    void setExpiry(Expiry expiry);

    // "position": empty at random, "0" to "8" a fixed place, any other value where the window system puts it.
    NotePlace notePlace() const;
    void setNotePlace(std::optional<int> fixed);  // nothing: at random

    // "couleur": a stored BBGGRR number (read as a number, blue, green, red); empty: a random colour per note.
    std::optional<quint32> noteColour() const;
    void setNoteColour(std::optional<quint32> stored);

    // "affichage": "0" neither date nor time, "1" the date, "2" the time; "3", and any other value, both.
    NoteStamp noteStamp() const;
    void setNoteStamp(NoteStamp stamp);

    // "demarrage pc", read as a number: 0 does not start with the session; anything else, a missing value
    // too, does.
    bool startWithComputer() const;
    void setStartWithComputer(bool start);

    // "confirmation fermeture" and "fin programme": asked only when the value is "1".
    bool askBeforeClosingNote() const;
    void setAskBeforeClosingNote(bool ask);
    bool askBeforeQuitting() const;
    void setAskBeforeQuitting(bool ask);

    // "legende", read as a number: anything but 0 shows the colour legend of the main window.
    bool showLegend() const;
    void setShowLegend(bool show);

    // "date de debut", "dd/mm/yyyy", empty until the first start has written it.
    QString firstStartDate() const;
    void setFirstStartDate(const QDate& date);
    // "version" and "dossier application": written at every start, read by nothing in the program.
    void setVersion(const QString& version);
    void setProgramFolder(const QString& folder);

private:
    QString get(const QString& key) const;
    void set(const QString& key, const QString& value);

    SettingsStore& m_settings;
};

}  // namespace tavanote
