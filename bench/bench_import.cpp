// The import: a file read into the grid, checked and prepared against the titles already stored.
// The insertion (the store's insertAll, one transaction) runs in the window and is not measured here.
#include <benchmark/benchmark.h>

#include <QStringList>

#include "import/DelimitedReader.h"
#include "import/ImportCheck.h"

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

}  // namespace

BENCHMARK(BM_ReadIntoGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCheckPrepare)->Args({10000, 10000})->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
