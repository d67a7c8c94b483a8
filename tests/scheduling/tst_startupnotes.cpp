// The notes opened at start: they open from the next turn of the event loop on, a few at a turn, each message
// marked displayed only once its note is on screen.
#include <QTest>

#include "scheduling/NoteScheduler.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

struct Host : NoteHost {
    bool deletingDisplayedMessage() const override { return false; }
    void RefreshMessageLists() override { ++refreshes; }
    void showAbout() override {}
    int refreshes = 0;
};

}  // namespace

class tst_StartupNotes : public QObject {
    Q_OBJECT
private slots:
    void openAfterTheLoadAFewAtATurn() {
        TestWorld w("05/03/2026 09:30");
        w.openStore();
        QList<qint64> every;
        for (int i = 0; i < 60; ++i)
            every << w.insert(QStringLiteral("N%1").arg(i), "T", "01/01/2026", "08:00", "actif", "9", "", "");
        const qint64 late = w.insert("Oubli", "T", "04/03/2026", "08:00", "actif", "0", "04/03/2026 08:00", "");
        Host host;
        NoteScheduler scheduler(w.services(), host);
        const Message missed = *w.store.find(late);
        scheduler.openStartupNotes({{missed, dateTime("04/03/2026 08:00")}});
        QVERIFY(scheduler.openNotes().isEmpty());
        // Meanwhile one is deleted and one given another display: neither opens.
        w.sql(QStringLiteral("DELETE FROM message WHERE id = %1").arg(every[30]));
        w.sql(QStringLiteral("UPDATE message SET periodicite = '1' WHERE id = %1").arg(every[31]));
        int turns = 0;
        while (scheduler.opening()) {
            const int before = scheduler.openNotes().size();
            QCoreApplication::sendPostedEvents(&scheduler, QEvent::MetaCall);
            QVERIFY(scheduler.openNotes().size() - before <= NoteScheduler::kNotesPerTurn);
            QCOMPARE(w.count("etat = 'affiche'"), scheduler.openNotes().size());
            ++turns;
        }
        QVERIFY2(turns > 1, "all the notes opened in one turn");
        QList<qint64> opened;
        for (frmTavanote* note : scheduler.openNotes())
            opened << note->messageId();
        QCOMPARE(opened, every.mid(0, 30) + every.mid(32) + QList<qint64>{late});
        QCOMPARE(host.refreshes, 1);
    }

    // A program ending while notes wait leaves their messages as they were: the next start finds them.
    void programEndingMeanwhileLeavesThemActive() {
        TestWorld w("05/03/2026 09:30");
        w.openStore();
        const qint64 id = w.insert("Oubli", "T", "04/03/2026", "08:00", "actif", "0", "04/03/2026 08:00", "");
        Host host;
        NoteScheduler scheduler(w.services(), host);
        scheduler.openStartupNotes({{*w.store.find(id), dateTime("04/03/2026 08:00")}});
        scheduler.stop();
        QCoreApplication::sendPostedEvents(&scheduler, QEvent::MetaCall);
        QVERIFY(!scheduler.opening());
        QVERIFY(scheduler.openNotes().isEmpty());
        QCOMPARE(w.count("etat = 'actif'"), 1);
    }
};

QTEST_MAIN(tst_StartupNotes)
#include "tst_startupnotes.moc"
