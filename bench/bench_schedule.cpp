// The start-up pass over 100,000 messages, 10,000 of them hourly and a year overdue, and the stepping rule on
// long-overdue series.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "BenchData.h"
#include "scheduling/Schedule.h"
#include "store/MessageStore.h"
#include "support/NextDisplayByLoop.h"

using namespace tavanote;

static void BM_StartupPass(benchmark::State& state) {
    QTemporaryDir dir;
    const QString pristine = dir.filePath(QStringLiteral("pristine.fdm"));
    bench::makeMessageFile(pristine, static_cast<int>(state.range(0)));
    const QDateTime now = *readInstant(QStringLiteral("06/12/2026 10:00"));
    const QString path = dir.filePath(QStringLiteral("messages.fdm"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        QFile::copy(pristine, path);
        MessageStore store;
        store.open(path);
        state.ResumeTiming();
        const StartupPassResult result = runStartupPass(store, Expiry::Delete, now);
        benchmark::DoNotOptimize(result);
        state.counters["stepped"] = result.stepped;
        state.counters["late"] = static_cast<double>(result.late.size());
    }
}

static void BM_NextDisplayTenYearsHourly(benchmark::State& state) {
    const QDateTime base = *readInstant(QStringLiteral("06/12/2016 10:00"));
    const QDateTime now = *readInstant(QStringLiteral("06/12/2026 10:17"));
    for (auto _ : state)
        benchmark::DoNotOptimize(nextDisplay(1, base, std::nullopt, now));
}

static void BM_NextDisplayDecadesMonthly(benchmark::State& state) {
    const QDateTime base = *readInstant(QStringLiteral("31/01/1950 10:00"));
    const QDateTime now = *readInstant(QStringLiteral("06/12/2026 10:17"));
    for (auto _ : state)
        benchmark::DoNotOptimize(nextDisplay(4, base, std::nullopt, now));
}

// The one-step-at-a-time rule on a year of missed hours, for comparison.
static void BM_NextDisplayByLoopOneYearHourly(benchmark::State& state) {
    const QDateTime base = *readInstant(QStringLiteral("06/12/2025 10:00"));
    const QDateTime now = *readInstant(QStringLiteral("06/12/2026 10:17"));
    for (auto _ : state)
        benchmark::DoNotOptimize(nextDisplayByLoop(1, base, std::nullopt, now));
}

BENCHMARK(BM_StartupPass)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextDisplayTenYearsHourly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NextDisplayDecadesMonthly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NextDisplayByLoopOneYearHourly)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
