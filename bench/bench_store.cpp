// Saving a new message from the editor with 1,000, 10,000 and 100,000 messages stored: one insert, its id
// from the insert itself, on the disk when it returns.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "BenchData.h"
#include "editor/EditorRules.h"
#include "store/MessageStore.h"

using namespace tavanote;

static void BM_SaveNewMessage(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = MessageStore::pathIn(dir.path());
    bench::makeMessageFile(path, static_cast<int>(state.range(0)));
    MessageStore store;
    store.open(path);
    const EditorFields fields{"Réunion", "Salle 2", "05/06/2027", "10:00", "30/06/2027", 2};
    for (auto _ : state) {
        const EditorSaveResult result = saveEditorFields(store, fields, 0);
        if (result.kind != EditorSaveResult::Saved)
            state.SkipWithError(result.text.toUtf8().constData());
        benchmark::DoNotOptimize(result.id);
    }
}

BENCHMARK(BM_SaveNewMessage)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
