#pragma once

#include <QWidget>
#include <optional>

#include "common/Services.h"
#include "common/WindowHost.h"
#include "scheduling/DueCheck.h"
#include "scheduling/NoteClose.h"

class QLabel;
class QMenu;
class QPushButton;
class QTextEdit;

namespace tavanote {

// What a note asks of the window that opened it.
class NoteHost : public WindowHost {
public:
    // True only while the main window deletes the message of this note.
    virtual bool deletingDisplayedMessage() const = 0;
    virtual void RefreshMessageLists() = 0;
};

// One message on screen as a sticky note: its title as caption, its text on a coloured background, the date
// and time it appeared. Closing it acknowledges the message.
class frmTavanote : public QWidget {
    Q_OBJECT
public:
    frmTavanote(Services& services, NoteHost& host, QWidget* parent = nullptr);

    // Placement, colour, the date and time labels, and the note on top of other windows. The labels show now, or
    // for a display missed while the program was closed or the computer asleep, the naive instant it was due.
    void Form_Load(const std::optional<QDateTime>& lateAt = std::nullopt);
    // The message's own fields and the window's tag.
    void setMessage(const Message& message);

    qint64 messageId() const { return m_fields.id; }
    // The fields the note was opened with, as far as closing it needs them: the id, the title as typed (the
    // caption shows it literally), the periodicity and the end date.
    const Message& fields() const { return m_fields; }
    // The naive instant the note stands for, at the minute: when it appeared, or the missed display it shows.
    QDateTime displayedAt() const { return m_displayedAt; }
    const QString& tag() const { return m_tag; }
    bool onTop() const { return m_onTop; }
    QColor colour() const { return m_colour; }

    // The main window deleted this note's message: the note closes with the deletion's box.
    void closeForDeletion();

    // "Rappeler plus tard": the note closes without its close handling and opens again at the chosen minute;
    // choice is the index of the entry (0 to 4). False when it could not be written: the note stays.
    bool putOff(int choice);

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void cmdOnTop_Click();
    void cmdRappel_Click();
    // The context menu: the put-off entries first, then the text's own.
    void showContextMenu(const QPoint& globalPos);
    // Runs the close handling; false when the note must stay open.
    bool acknowledge();
    void place();

    QTextEdit* txtMessage;
    QLabel* lblJour;
    QLabel* lblheure;
    QPushButton* cmdOnTop;
    QPushButton* cmdRappel;
    QMenu* mnuRappel;    // the put-off entries, under the clock button
    QMenu* mnuContexte;  // the same entries, then "Copier" and "Tout sélectionner"

    Services& m_services;
    NoteHost& m_host;
    Message m_fields;
    QString m_tag;
    QDateTime m_displayedAt;  // the minute the note stands for: the base of the next display
    bool m_onTop = false;
    bool m_closing = false;
    bool m_closed = false;
    bool m_deletedMeanwhile = false;
    QColor m_colour;
    NotePlace m_place;
    double m_rl = 0;
    double m_rt = 0;
};

}  // namespace tavanote
