// One tick of the due check in which five notes fall due, with 100,000 messages stored: the lists are refreshed
// once for the five.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "BenchData.h"
#include "main_window/frmGestionMessages.h"
#include "support/TestWorld.h"

using namespace tavanote;

static void BM_TickFiveNotesDue(benchmark::State& state) {
    test::TestWorld world(QStringLiteral("06/12/2026 09:00"), false);
    bench::makeMessageFile(world.storePath(), static_cast<int>(state.range(0)));
    frmGestionMessages window(world.services(), false);
    window.Form_Load();
    int minute = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Five messages due in a minute of their own, after the stored ones' start.
        const QString due = QStringLiteral("01/01/2030 %1:%2")
                                .arg(minute / 60, 2, 10, QLatin1Char('0'))
                                .arg(minute % 60, 2, 10, QLatin1Char('0'));
        for (int i = 0; i < 5; ++i)
            world.insert("Note", "Texte", due.left(10), due.mid(11), "actif", "0", due, {});
        world.clock.set(test::dateTime(due + QStringLiteral(":05")));
        state.ResumeTiming();
        window.Timer2_Timer();
        state.PauseTiming();
        for (frmTavanote* note : window.openNotes())
            delete note;
        ++minute;
        state.ResumeTiming();
    }
}

BENCHMARK(BM_TickFiveNotesDue)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
