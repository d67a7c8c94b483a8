// Where a note goes and which colour it takes, from the stored preferences.
#include <QTemporaryDir>
#include <QTest>

#include "common/SettingsStore.h"
#include "scheduling/NotePlacement.h"

using namespace tavanote;

namespace {

// The preferences over a settings area holding one key of "parametres".
struct Stored {
    Stored(const char* key, const QString& value) { settings.set(kParametres, QLatin1String(key), value); }
    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(QStringLiteral("Tavanote.ini"))};
    Preferences preferences{settings};
};

}  // namespace

class tst_Placement : public QObject {
    Q_OBJECT
private slots:
    // On a second monitor right of the first, its available area below a 24-pixel panel: the draws play no part in
    // a fixed place (every place on a real screen with frames: tests/desktop).
    void place() {
        const QRect area(1920, 24, 1280, 1000);
        const QSize note(280, 190);
        const int right = 1920 + 1280 - 280, centre = 1920 + (1280 - 280) / 2;
        const int bottom = 24 + 1000 - 190, middle = 24 + (1000 - 190) / 2;
        const struct {
            const char* position;
            double rl, rt;
            QPoint expected;  // null: left to the window system
        } places[] = {{"5", 0.7, 0.3, {right, middle}}, {"7", 0.7, 0.3, {centre, bottom}},
                      {"", 0.0, 0.0, {1920, 24}},       {"", 0.999999, 0.999999, {right, bottom}},
                      {"", 0.5, 0.0, {1920 + 500, 24}}, {"9", 0.5, 0.5, {}}};
        for (const auto& p : places) {
            const std::optional<QPoint> at =
                notePosition(Stored("position", p.position).preferences.notePlace(), area, note, p.rl, p.rt);
            QCOMPARE(bool(at), !p.expected.isNull());
            QVERIFY2(!at || (area.contains(QRect(*at, note)) && (*at - p.expected).manhattanLength() <= 2),
                     qPrintable(p.position + QString::number(p.rl)));
        }
    }

    void colours() {
        // "couleur" is read as blue, green, red (which texts give a colour: tst_settings).
        QCOMPARE(storedToRgb(*Stored("couleur", "16711680").preferences.noteColour()), quint32(0x0000FF));
        // A random draw times 7 is rounded to the nearest, halves to even: the first and last colours come.
        const QList<QPair<double, int>> draws = {{0.5 / 7, 0}, {0.51 / 7, 1}, {1.5 / 7, 2},  {2.5 / 7, 2},
                                                 {0.5, 4},     {5.5 / 7, 6},  {6.51 / 7, 7}, {1.0 - 1e-16, 7}};
        for (const auto& [draw, index] : draws)
            QVERIFY2(randomNoteColour(draw) == storedToRgb(kNoteColours[index]), qPrintable(QString::number(draw)));
    }
};

QTEST_GUILESS_MAIN(tst_Placement)
#include "tst_placement.moc"
