#pragma once

#include <QString>
#include <array>
#include <vector>

#include "store/Message.h"

namespace tavanote {

class MessageStore;

enum ListIndex { ListActifs = 0, ListErrones = 1, ListAffiches = 2 };
inline constexpr int kListCount = 3;
inline constexpr int kListColumns = 10;
inline constexpr int kIdColumn = 9;

// One row of a list: the ten cells as shown (the number, the eight fields with the periodicity's wording,
// the stored code and the id) and the periodicity code that chooses the text colour.
struct ListRow {
    std::array<QString, kListColumns> cells;
    int code = 0;
    QString putOffUntil;  // a displayed message whose note is put off: when it comes back
};

// The tool tip of a row whose note is put off.
QString putOffTip(const QString& until);

struct MessageListsData {
    std::array<std::vector<ListRow>, kListCount> lists;
};

// The list a stored state belongs to. Rows in a state the program never writes go to the erroneous list,
// where the user sees them and can modify or delete them; they are never displayed as notes.
ListIndex listForState(const QString& etat);

// The wording of a periodicity code; a code outside 0..9 is shown as unknown.
QString periodicityWording(int code);

// The ten column headers and widths in twips (the last two columns are hidden).
const std::array<QString, kListColumns>& listHeaders();
const std::array<int, kListColumns>& listColumnWidths();

// A message as its list shows it, numbered from 1 in its list.
ListRow listRow(const Message& message, int number);

// Reads every message in id order into the list of its state. A failed read gives empty lists and the error.
MessageListsData loadMessageLists(MessageStore& store, QString* error = nullptr);

}  // namespace tavanote
