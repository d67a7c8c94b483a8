#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "import/ImportGrid.h"
#include "store/Message.h"

namespace tavanote {

class MessageStore;

// The checking panel: the bar grows by kProgressStep twips at each step, and the label names the step under way.
inline constexpr int kProgressStep = 880;
// The width of the checking bar once every step is done: the bar's track.
inline constexpr int kProgressTrack = 6 * kProgressStep;
using ImportProgress = std::function<void(int barWidth, const QString& label)>;

// Steps 1 to 7 of the import over the grid's visible columns: the first refusal (the whole text to show), or
// nothing when every cell passes. Cells the message's periodicity makes meaningless are rewritten in the grid
// as they will be stored (emptied; a one-time message's next display set to its date and time), and stay so.
// progress is called at each step with the bar's width so far (the first call gives kProgressStep).
std::optional<QString> checkImportGrid(ImportGrid& grid, const ImportProgress& progress = {});

// The titles of the grid that already exist in the store (compared trimmed and in lower case), each followed by
// a line break: stored title by stored title, and for each the matching rows from the top; a title of the
// grid matching k stored titles is listed k times. storedTitles are the stored rows' titles in table order.
QString duplicateTitles(const ImportGrid& grid, const QStringList& storedTitles);

// The question that lists the duplicates: the text before the list, and the question after it.
QString duplicateQuestionHead();
QString duplicateQuestionTail();

// After Yes to that question: each stored title removes the first remaining row that has it (row numbers are
// kept). Gives the text to show when no data row is left, or nothing.
std::optional<QString> removeDuplicateRows(ImportGrid& grid, const QStringList& storedTitles);

// The messages of a grid that passed the checks, in row order: each field from the first visible column named
// after it, trimmed; an empty state is "actif".
MessageList importedMessages(const ImportGrid& grid);

// Everything before the insertion: the checks, then the duplicates, with askYesNo putting the duplicate question
// about the listed titles (as duplicateTitles() gives them) to the user. Either the refusal text (shown by the final
// step) or the messages to insert.
struct ImportPlan {
    std::optional<QString> refusal;
    MessageList messages;
};
ImportPlan prepareImport(ImportGrid& grid, const QStringList& storedTitles,
                         const std::function<bool(const QString& duplicates)>& askYesNo,
                         const ImportProgress& progress = {});

// The last step of every import: the checked messages stored in one transaction, all of them or none. Gives them
// with the ids the store gave them, for the rules of missed displays; nothing when none was stored (the store's
// failure() says why).
std::optional<MessageList> storeImported(MessageStore& store, MessageList messages);

// The texts around the insertion.
QString importCancelledText();     // "Importation annulée..."
QString continueImportQuestion();  // asked before the insertion
QString importSucceededText();
// The store refused the insertion (why, in French): nothing was imported.
QString importFailedText(const QString& why);

}  // namespace tavanote
