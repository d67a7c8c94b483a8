#include "NoteScheduler.h"

#include <QTimer>
#include <algorithm>

#include "common/DateText.h"
#include "common/HandlerScope.h"
#include "common/WindowHelpers.h"
#include "scheduling/PutOffRule.h"
#include "store/MessageStore.h"

namespace tavanote {

NoteScheduler::NoteScheduler(Services& services, NoteHost& host) : m_services(services), m_host(host) {}

NoteScheduler::~NoteScheduler() {
    for (const QPointer<frmTavanote>& note : m_notes)
        delete note.data();
    delete m_lateList.data();
}

void NoteScheduler::tick() {
    const DueSpan span = m_ticker.spanFor(m_services.clock.now());
    if (m_suspended || m_stopped)
        return;
    if (!HandlerScope::busy()) {
        check({span});
        return;
    }
    // A box is open in a handler: the tick runs once the handler returns, for the minutes in which it fell.
    m_deferredSpans.append(span);
    if (m_deferredTick)
        return;
    m_deferredTick = true;
    HandlerScope::whenIdle(this, [this] {
        m_deferredTick = false;
        const DueSpans deferred = std::exchange(m_deferredSpans, {});
        if (!m_stopped)
            check(deferred);
    });
}

void NoteScheduler::check(const DueSpans& spans) {
    const quint64 version = m_services.store.dataVersion();
    if (spans == m_checkedSpans && version == m_checkedVersion)
        return;
    MessageList due;
    if (!findDueMessages(m_services.store, spans, due))
        return;
    StoreError failure;
    bool changed = dealWith(due, m_services.clock.now(), failure);
    if (openPutOffNotes(m_services.clock.now(), failure))
        changed = true;
    // Once for the tick, however many notes it opened.
    if (changed)
        m_host.RefreshMessageLists();
    if (!failure.ok()) {
        tellMarkFailure(failure);
        return;
    }
    m_checkedSpans = spans;
    m_checkedVersion = m_services.store.dataVersion();
}

bool NoteScheduler::dealWith(const MessageList& due, const QDateTime& now, StoreError& failure) {
    bool changed = false;
    std::vector<LateDisplay> late;
    // One transaction for the writes: however many notes open, the disk is written once.
    std::optional<MessageStore::Transaction> transaction;
    if (!due.empty())
        transaction.emplace(m_services.store);
    for (const Message& message : due) {
        if (shownOrWaiting(message.id) || m_ticker.openedBefore(message.id, message.prochainaffichage, now))
            continue;
        // A minute that went by without a tick is decided as at start: a note shown late, or for a periodic
        // display missed long ago, a silent step.
        const StartupDecision decision = decideAtStartup(message, naiveNow(now));
        bool ok = true;
        switch (decision.kind) {
            case StartupDecision::Leave:
                ok = openNote(message);
                break;
            case StartupDecision::OpenLate:
                late.push_back({message, decision.at});
                break;
            case StartupDecision::Step:
                ok = writeNextDisplay(m_services.store, message.id, decision.at);
                break;
            case StartupDecision::Expire:
                ok = applyExpiry(m_services.store, m_services.preferences.expiry(), message.id);
                break;
            case StartupDecision::Unreadable:
                continue;
        }
        // A note on screen has been seen: even when its row could not be marked displayed (and stays active),
        // it does not open a second time for the same minute.
        if (!ok)
            failure = m_services.store.failure();
        m_ticker.remember(message.id, message.prochainaffichage, now);
        changed = true;
    }
    if (!late.empty() && !openLate(late))
        failure = m_services.store.failure();
    if (transaction && transaction->isOpen() && !transaction->commit())
        failure = m_services.store.failure();
    return changed;
}

void NoteScheduler::catchUp(const MessageList& stored) {
    if (m_suspended || m_stopped)
        return;
    const QDateTime now = m_services.clock.now();
    MessageList passed;
    for (const Message& message : stored) {
        const StartupDecision::Kind kind = decideAtStartup(message, naiveNow(now)).kind;
        if (kind != StartupDecision::Leave && kind != StartupDecision::Unreadable)
            passed.push_back(message);
    }
    StoreError failure;
    dealWith(passed, now, failure);
    if (!failure.ok())
        tellMarkFailure(failure);
}

void NoteScheduler::openStartupNotes(const std::vector<LateDisplay>& late) {
    MessageList messages;
    findStartupMessages(m_services.store, messages);
    for (const Message& message : messages)
        m_waiting.push_back({message, std::nullopt});
    bool ok = true;
    {
        MessageStore::Transaction transaction(m_services.store);
        for (const LateDisplay& missed : listLate(late, ok))
            m_waiting.push_back({missed.message, missed.at});
        if (transaction.isOpen() && !transaction.commit())
            ok = false;
    }
    if (!ok)
        tellMarkFailure(m_services.store.failure());
    QTimer::singleShot(0, this, &NoteScheduler::openWaiting);
}

void NoteScheduler::openWaiting() {
    if (m_stopped || m_suspended) {
        m_waiting.clear();  // marked displayed only once open: the next start finds them
        return;
    }
    StoreError failure;
    int opened = 0;
    {
        MessageStore::Transaction transaction(m_services.store);
        while (!m_waiting.empty() && opened < kNotesPerTurn) {
            const Waiting next = m_waiting.front();
            m_waiting.pop_front();
            // The row as it is now: a message deleted or given another display meanwhile is left to what changed it.
            // When the file cannot be read, the note opens as it was found.
            const std::optional<Message> found = m_services.store.find(next.message.id);
            if (!found && m_services.store.failure().ok())
                continue;
            const Message message = found.value_or(next.message);
            if (findNote(message.id) || message.periodicite != next.message.periodicite ||
                message.prochainaffichage != next.message.prochainaffichage)
                continue;
            ++opened;
            if (!openNote(message, next.lateAt))
                failure = m_services.store.failure();
        }
        if (transaction.isOpen() && !transaction.commit())
            failure = m_services.store.failure();
    }
    if (!failure.ok())
        tellMarkFailure(failure);
    if (opening())
        QTimer::singleShot(0, this, &NoteScheduler::openWaiting);
    else
        m_host.RefreshMessageLists();
}

bool NoteScheduler::shownOrWaiting(qint64 id) const {
    return findNote(id) || (m_lateList && m_lateList->lists(id)) ||
           std::any_of(m_waiting.cbegin(), m_waiting.cend(),
                       [id](const Waiting& waiting) { return waiting.message.id == id; });
}

bool NoteScheduler::openLate(std::vector<LateDisplay> late) {
    bool ok = true;
    for (const LateDisplay& missed : listLate(std::move(late), ok))
        ok = openNote(missed.message, missed.at) && ok;
    return ok;
}

std::vector<LateDisplay> NoteScheduler::listLate(std::vector<LateDisplay> late, bool& ok) {
    late.erase(std::remove_if(late.begin(), late.end(),
                              [this](const LateDisplay& missed) { return shownOrWaiting(missed.message.id); }),
               late.end());
    if (late.size() <= kMostLateNotes)
        return late;
    // The most recent open as notes, in the order given; the others wait in the list, displayed.
    std::vector<LateDisplay> byRecency = late;
    std::stable_sort(byRecency.begin(), byRecency.end(),
                     [](const LateDisplay& a, const LateDisplay& b) { return a.at > b.at; });
    QSet<qint64> asNotes;
    for (size_t i = 0; i < kMostLateNotes; ++i)
        asNotes.insert(byRecency[i].message.id);
    std::vector<LateDisplay> notes;
    std::vector<LateDisplay> listed;
    for (LateDisplay& missed : late)
        (asNotes.contains(missed.message.id) ? notes : listed).push_back(std::move(missed));
    for (const LateDisplay& missed : listed)
        ok = markLateDisplayed(missed.message, missed.at) && ok;
    if (!m_lateList) {
        m_lateList = new frmRetards(m_services, m_host, [this](const LateDisplay& missed) {
            if (!findNote(missed.message.id))
                openNote(missed.message, missed.at);
        });
        m_lateList->setAttribute(Qt::WA_DeleteOnClose);
        CentreWindow(m_lateList);
    }
    m_lateList->add(listed);
    m_lateList->show();
    m_lateList->raise();
    return notes;
}

bool NoteScheduler::markLateDisplayed(const Message& message, const QDateTime& at) {
    if (!markDisplayed(m_services.store, message.id))
        return false;
    return formatDateTime(at) == message.prochainaffichage || writeNextDisplay(m_services.store, message.id, at);
}

bool NoteScheduler::openPutOffNotes(const QDateTime& localNow, StoreError& failure) {
    MessageStore& store = m_services.store;
    const std::optional<PutOffList> rows = store.putOffs();
    if (!rows)
        return false;  // read again at the next tick
    const QDateTime now = naiveNow(localNow);
    bool changed = false;
    for (const PutOff& row : *rows) {
        if (findNote(row.id))
            continue;  // its note is on screen: its close forgets the row
        const std::optional<Message> message = store.find(row.id);
        if (!message && !store.failure().ok())
            continue;
        const PutOffDecision decision = decidePutOff(row, message, now);
        bool ok = true;
        switch (decision.kind) {
            case PutOffDecision::Wait:
                continue;
            case PutOffDecision::Drop:
                ok = store.removePutOff(row.id);
                break;
            case PutOffDecision::Rearm:
                ok = store.putOff(decision.rearmed) != StoreWrite::Failed;
                break;
            case PutOffDecision::Open: {
                // The note shows whatever the file says; marked displayed and its row forgotten together.
                MessageStore::Transaction transaction(store);
                ok = openNote(*message, decision.display) && store.removePutOff(row.id) &&
                     (!transaction.isOpen() || transaction.commit());
                break;
            }
        }
        if (!ok)
            failure = store.failure();
        changed = true;
    }
    return changed;
}

void NoteScheduler::tellMarkFailure(const StoreError& failure) {
    // Told once: while the same fault lasts, each further tick would only repeat it.
    if (m_markFailureTold == failure.kind)
        return;
    m_markFailureTold = failure.kind;
    m_services.dialogs.message(nullptr,
                               storeFailureText(QStringLiteral("Un message est affiché, mais le fichier des messages "
                                                               "n'a pas pu enregistrer qu'il l'est: il y reste "
                                                               "actif."),
                                                failure),
                               Icon::Exclamation, Buttons::Ok);
}

bool NoteScheduler::openNote(const Message& message, const std::optional<QDateTime>& lateAt) {
    auto* note = new frmTavanote(m_services, m_host);
    note->Form_Load(lateAt);
    note->setMessage(message);
    note->show();
    m_notes.removeAll(nullptr);
    m_notes.append(note);
    if (!(lateAt ? markLateDisplayed(message, *lateAt) : markDisplayed(m_services.store, message.id)))
        return false;
    m_markFailureTold = StoreErrorKind::None;
    return true;
}

frmTavanote* NoteScheduler::findNote(qint64 id) const {
    for (const QPointer<frmTavanote>& note : m_notes) {
        if (note && note->messageId() == id)
            return note.data();
    }
    return nullptr;
}

QList<frmTavanote*> NoteScheduler::openNotes() const {
    QList<frmTavanote*> notes;
    for (const QPointer<frmTavanote>& note : m_notes) {
        if (note)
            notes.append(note.data());
    }
    return notes;
}

}  // namespace tavanote
