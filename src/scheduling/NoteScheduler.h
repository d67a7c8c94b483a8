#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <deque>

#include "common/Services.h"
#include "scheduling/DueCheck.h"
#include "scheduling/Schedule.h"
#include "scheduling/frmRetards.h"
#include "scheduling/frmTavanote.h"
#include "store/StoreError.h"

namespace tavanote {

// The due check and the open notes: each tick opens a note for every active message due in its minute, marks
// them displayed and refreshes the lists once. A tick that falls while a handler is under way (a box is open)
// runs when it returns.
class NoteScheduler : public QObject {
    Q_OBJECT
public:
    NoteScheduler(Services& services, NoteHost& host);
    // Notes still open go with the program, without their close handling: their messages stay displayed.
    ~NoteScheduler() override;

    // One tick of the due check.
    void tick();
    // The due check covers every minute from this one (a naive instant, the start-up pass's) on.
    void checkFrom(const QDateTime& minute) { m_ticker.startFrom(minute); }
    // Opens the notes of the messages shown at every start, then those of the displays missed while the program
    // was not running, each showing the instant it was due. They open from the next turn of the event loop on, a
    // few at a turn: the main window shows first, and it, the tray menu and the notes already open answer while a
    // hundred others open. (Notes put off and due meanwhile are the due check's, which runs once at load.)
    void openStartupNotes(const std::vector<LateDisplay>& late = {});
    // A note shown waits for the X server, which on a busy desktop is a few milliseconds: a few notes a turn keep
    // the turn short.
    static constexpr int kNotesPerTurn = 5;
    // Start-up notes are still waiting to open.
    bool opening() const { return !m_waiting.empty(); }
    // At most this many missed displays open as notes at once: the most recent; the others are listed in one
    // window (frmRetards), displayed until opened or acknowledged there.
    static constexpr size_t kMostLateNotes = 20;
    // Messages just stored (an import) whose display time has passed are dealt with at once, as the minutes the due
    // check missed are: a note opens late, a display long past is stepped silently, a series ended expires. What
    // falls due later, or in this very minute, is the due check's. Does not refresh the lists.
    void catchUp(const MessageList& stored);
    // While suspended ("Désactiver les messages"), what falls due waits for the next start.
    void setSuspended(bool suspended) { m_suspended = suspended; }
    bool suspended() const { return m_suspended; }
    // The program is ending: no tick runs any more.
    void stop() { m_stopped = true; }

    // The open note of a message; nullptr when none.
    frmTavanote* findNote(qint64 id) const;
    QList<frmTavanote*> openNotes() const;
    // The window listing the late reminders not opened as notes; nullptr when none.
    frmRetards* lateList() const { return m_lateList; }

private:
    void check(const DueSpans& spans);
    // Opens up to kNotesPerTurn waiting start-up notes, then lets the event loop turn.
    void openWaiting();
    // A note open, waiting to open, or its display listed among the late ones.
    bool shownOrWaiting(qint64 id) const;
    // Deals with each message as the start-up pass decides for it at now; true when any was dealt with. failure
    // receives the last write that failed.
    bool dealWith(const MessageList& due, const QDateTime& now, StoreError& failure);
    // Opens a note for a message and marks the message displayed; false when the mark could not be written. A
    // note shown late shows the display it stands for, which becomes the message's next display.
    bool openNote(const Message& message, const std::optional<QDateTime>& lateAt = std::nullopt);
    // Opens missed displays (at most kMostLateNotes as notes, the others listed); false when a write failed.
    bool openLate(std::vector<LateDisplay> late);
    // Lists the missed displays beyond the kMostLateNotes most recent, marked displayed, and returns those that
    // open as notes, in the order given; those already shown are left out. ok is false when a write failed.
    std::vector<LateDisplay> listLate(std::vector<LateDisplay> late, bool& ok);
    // Marks a missed display's message displayed, its next display the missed one its note shows.
    bool markLateDisplayed(const Message& message, const QDateTime& at);
    // The notes put off whose time has come open again, showing the display they stand for; the rows of
    // messages gone or no longer displayed are forgotten. True when a row changed.
    bool openPutOffNotes(const QDateTime& localNow, StoreError& failure);
    // Tells the user that a note's row could not be marked displayed, once while the fault lasts.
    void tellMarkFailure(const StoreError& failure);

    Services& m_services;
    NoteHost& m_host;
    bool m_suspended = false;
    bool m_stopped = false;
    QList<QPointer<frmTavanote>> m_notes;
    // Start-up notes not open yet, in their order; each marked displayed only once on screen, so a program ended
    // meanwhile finds the others at its next start.
    struct Waiting {
        Message message;
        std::optional<QDateTime> lateAt;
    };
    std::deque<Waiting> m_waiting;
    QPointer<frmRetards> m_lateList;
    DueTicker m_ticker;
    DueSpans m_deferredSpans;  // minutes of ticks that fell while a handler was under way
    bool m_deferredTick = false;
    // What the last check looked at: a tick of the same minute on an unchanged file has nothing new to open.
    DueSpans m_checkedSpans;
    quint64 m_checkedVersion = 0;
    StoreErrorKind m_markFailureTold = StoreErrorKind::None;
};

}  // namespace tavanote
