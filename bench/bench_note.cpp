// Opening a note, shown and painted, for a short text and for a megabyte without a blank.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "scheduling/frmTavanote.h"
#include "support/TestWorld.h"

using namespace tavanote;

namespace {

struct QuietHost : NoteHost {
    void showAbout() override {}
    bool deletingDisplayedMessage() const override { return false; }
    void RefreshMessageLists() override {}
};

}  // namespace

static void BM_OpenNote(benchmark::State& state) {
    test::TestWorld world(QStringLiteral("06/12/2026 10:00"));
    QuietHost host;
    Message message;
    message.id = 1;
    message.titre = QStringLiteral("Adresse");
    message.periodicite = QStringLiteral("0");
    message.message = QString(static_cast<qsizetype>(state.range(0)), QLatin1Char('x'));
    for (auto _ : state) {
        frmTavanote note(world.services(), host);
        note.Form_Load();
        note.setMessage(message);
        note.show();
        QApplication::processEvents();  // the layout and the first paint
    }
}
BENCHMARK(BM_OpenNote)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);
