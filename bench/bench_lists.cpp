// The main window's list refresh over 1,000, 10,000 and 100,000 messages.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "BenchData.h"
#include "main_window/frmGestionMessages.h"
#include "messages/MessageLists.h"
#include "support/TestWorld.h"

using namespace tavanote;

static void BM_LoadMessageLists(benchmark::State& state) {
    test::TestWorld world(QStringLiteral("06/12/2026 10:00"), false);
    bench::makeMessageFile(world.storePath(), static_cast<int>(state.range(0)));
    world.openStore();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadMessageLists(world.store));
}

static void BM_RefreshMessageLists(benchmark::State& state) {
    test::TestWorld world(QStringLiteral("06/12/2026 10:00"), false);
    bench::makeMessageFile(world.storePath(), static_cast<int>(state.range(0)));
    frmGestionMessages window(world.services(), false);
    window.Form_Load();
    window.show();
    for (auto _ : state) {
        window.RefreshMessageLists();
        QApplication::processEvents();  // includes the repaint of the visible list
    }
}

BENCHMARK(BM_LoadMessageLists)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshMessageLists)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
