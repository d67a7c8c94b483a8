// The import: a file read into the grid, checked and prepared against the titles already stored; and the whole
// import as the window runs it, from the file on the disk to the rows inserted in one transaction.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "BenchData.h"
#include "import/DelimitedReader.h"
#include "import/ImportCheck.h"
#include "store/MessageStore.h"

using namespace tavanote;

namespace {

// A file of count rows with a name line, every periodicity, as a spreadsheet writes it (UTF-8, CR LF).
QByteArray importFile(int count) {
    QByteArray file = "titre;message;datemessage;heuremessage;etat;periodicite;prochainaffichage;dernieraffichage\r\n";
    for (int i = 0; i < count; ++i) {
        const int code = i % 10;
        const QByteArray day = QByteArray::number(1 + i % 28).rightJustified(2, '0');
        file += "Importé " + QByteArray::number(i) + ";Rendez-vous à l'étage " + QByteArray::number(i % 7) + ";" + day +
                "/03/2027;10:15;actif;" + QByteArray::number(code) + ";" + day + "/03/2027 10:15;" + day +
                "/03/2028 10:15\r\n";
    }
    return file;
}

QStringList storedTitles(int count) {
    QStringList titles;
    for (int i = 0; i < count; ++i)
        titles << QStringLiteral("Message %1").arg(i);
    titles << QStringLiteral("importé 7");  // one duplicate, so the question and the removal run too
    return titles;
}

const DelimitedOptions kOptions{QStringLiteral(";"), QString(), true};

void BM_ReadIntoGrid(benchmark::State& state) {
    const QByteArray file = importFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(readDelimited(decodeImportBytes(file), kOptions));
}

void BM_ReadCheckPrepare(benchmark::State& state) {
    const QByteArray file = importFile(static_cast<int>(state.range(0)));
    const QStringList stored = storedTitles(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        DelimitedRead read = readDelimited(decodeImportBytes(file), kOptions);
        const ImportPlan plan = prepareImport(read.grid, stored, [](const QString&) { return true; });
        if (plan.refusal || plan.messages.size() != static_cast<size_t>(state.range(0)) - 1)
            state.SkipWithError("the import was refused");
        benchmark::DoNotOptimize(plan);
    }
}

// The file of range(0) rows into a store of range(1) messages: reading, every check, the duplicate search against
// the stored titles, and insertAll. Each run starts from a fresh copy of the same store.
void BM_WholeImport(benchmark::State& state) {
    QTemporaryDir dir;
    const QString model = dir.filePath(QStringLiteral("model.fdm"));
    const QString path = dir.filePath(QStringLiteral("messages.fdm"));
    const QString file = dir.filePath(QStringLiteral("import.csv"));
    bench::makeMessageFile(model, static_cast<int>(state.range(1)));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(importFile(static_cast<int>(state.range(0)))) < 0)
        state.SkipWithError("cannot write the file");
    out.close();
    for (auto _ : state) {
        state.PauseTiming();
        MessageStore store;
        QFile::remove(path);
        QFile::copy(model, path);
        const bool opened = store.open(path).ok();
        state.ResumeTiming();
        DelimitedRead read = readDelimited(readImportFile(file).text, kOptions);
        const std::optional<MessageList> stored = store.all();
        QStringList titles;
        for (const Message& message : stored.value_or(MessageList()))
            titles << message.titre;
        const ImportPlan plan = prepareImport(read.grid, titles, [](const QString&) { return true; });
        if (!opened || !stored || plan.refusal || !store.insertAll(plan.messages))
            state.SkipWithError("the import failed");
    }
}

}  // namespace

BENCHMARK(BM_WholeImport)->Args({10000, 10000})->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadIntoGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCheckPrepare)->Args({10000, 10000})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
