// The report of 10,000 messages: built, then exported to each format.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include "reports/Exports.h"
#include "reports/Report.h"

using namespace tavanote;

namespace {

MessageList makeMessages(int count) {
    MessageList messages;
    messages.reserve(count);
    for (int i = 0; i < count; ++i) {
        Message m;
        m.id = i + 1;
        m.titre = QStringLiteral("Réunion n°%1 à l'hôtel").arg(i, 5, 10, QLatin1Char('0'));
        m.message = QStringLiteral("Préparer le dossier; apporter 20 €.\r\nAppeler \"Zoé\" avant %1 h.").arg(i % 24);
        m.datemessage = QStringLiteral("05/06/2026");
        m.heuremessage = QStringLiteral("09:30");
        m.etat = kStateActif;
        m.periodicite = QString::number(i % 10);
        m.prochainaffichage = QStringLiteral("05/06/2026 09:30");
        m.dernieraffichage = i % 3 ? QStringLiteral("31/12/2027") : QString();
        messages.push_back(m);
    }
    return messages;
}

struct Fixture {
    explicit Fixture(int count) : messages(makeMessages(count)) {
        BuildReport(doc, messages, 0, QDate(2026, 6, 5), folder.path());
    }
    QTemporaryDir folder;
    MessageList messages;
    QTextDocument doc;
};

void BM_BuildReport(benchmark::State& state) {
    QTemporaryDir folder;
    const MessageList messages = makeMessages(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QTextDocument doc;
        BuildReport(doc, messages, 0, QDate(2026, 6, 5), folder.path());
        benchmark::DoNotOptimize(doc.characterCount());
    }
}

template <QByteArray (*Export)(const QTextDocument&)>
void BM_ExportDocument(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Export(f.doc));
}

void BM_ExportCsv(benchmark::State& state) {
    const MessageList messages = makeMessages(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(exportCsv(messages));
}

}  // namespace

BENCHMARK(BM_BuildReport)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ExportDocument, exportRtf)->Name("BM_ExportRtf")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ExportDocument, exportText)->Name("BM_ExportText")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ExportDocument, exportHtml)->Name("BM_ExportHtml")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCsv)->Arg(10000)->Unit(benchmark::kMillisecond);
