#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

#include "common/Services.h"
#include "scheduling/DueCheck.h"
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
    // Opens the notes of the messages shown at every start.
    void openStartupNotes();
    // While suspended ("Désactiver les messages"), what falls due waits for the next start.
    void setSuspended(bool suspended) { m_suspended = suspended; }
    bool suspended() const { return m_suspended; }
    // The program is ending: no tick runs any more.
    void stop() { m_stopped = true; }

    // The open note of a message; nullptr when none.
    frmTavanote* findNote(qint64 id) const;
    QList<frmTavanote*> openNotes() const;

private:
    void check(const QSet<QString>& minutes);
    // Opens a note for a message and marks the message displayed; false when the mark could not be written.
    bool openNote(const Message& message);
    // Tells the user that a note's row could not be marked displayed, once while the fault lasts.
    void tellMarkFailure(const StoreError& failure);

    Services& m_services;
    NoteHost& m_host;
    bool m_suspended = false;
    bool m_stopped = false;
    QList<QPointer<frmTavanote>> m_notes;
    DueTicker m_ticker;
    QSet<QString> m_deferredMinutes;  // minutes of ticks that fell while a handler was under way
    bool m_deferredTick = false;
    // What the last check looked at: a tick of the same minute on an unchanged file has nothing new to open.
    QSet<QString> m_checkedMinutes;
    quint64 m_checkedVersion = 0;
    StoreErrorKind m_markFailureTold = StoreErrorKind::None;
};

}  // namespace tavanote
