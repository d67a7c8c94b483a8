#include <QTemporaryDir>
#include <QTest>

#include "common/SettingsStore.h"
#include "scheduling/NotePlacement.h"

using namespace tavanote;

namespace {

// A second monitor to the right of the first, its available area below a 24-pixel panel.
const QRect kArea(1920, 24, 1280, 1000);
const QSize kNote(280, 190);
const QList<quint32> kEightColours = {0xE0E0E0, 0xFF8080, 0xFFC080, 0xFFFF80, 0x80FF80, 0x80FFFF, 0x8080FF, 0xFF80FF};

// The preferences over a settings area holding one key of "parametres".
struct Stored {
    Stored(const char* key, const QString& value) { settings.set(kParametres, QLatin1String(key), value); }
    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(QStringLiteral("Tavanote.ini"))};
    Preferences preferences{settings};
};

// The note's background for a stored "couleur", as 0xRRGGBB.
std::optional<quint32> fixedNoteColour(const QString& couleur) {
    const std::optional<quint32> stored = Stored("couleur", couleur).preferences.noteColour();
    return stored ? std::optional(storedToRgb(*stored)) : std::nullopt;
}

}  // namespace

class tst_Placement : public QObject {
    Q_OBJECT
private slots:
    void place_data();
    void place();
    void colours();
};

void tst_Placement::place_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("rl");
    QTest::addColumn<double>("rt");
    QTest::addColumn<QPoint>("expected");  // null: left to the window system
    const int right = 1920 + 1280 - 280, centre = 1920 + (1280 - 280) / 2;
    const int bottom = 24 + 1000 - 190, middle = 24 + (1000 - 190) / 2;
    // The draws play no part in a fixed place (every place on a real screen with frames: tests/desktop).
    QTest::newRow("8 bottom right") << "8" << 0.7 << 0.3 << QPoint(right, bottom);
    QTest::newRow("4 middle centre") << "4" << 0.7 << 0.3 << QPoint(centre, middle);
    QTest::newRow("random at 0") << "" << 0.0 << 0.0 << QPoint(1920, 24);
    QTest::newRow("random at ~1") << "" << 0.999999 << 0.999999 << QPoint(right, bottom);
    QTest::newRow("random across") << "" << 0.5 << 0.0 << QPoint(1920 + 500, 24);
    QTest::newRow("left to the window system") << "9" << 0.5 << 0.5 << QPoint();  // which codes: tst_settings
}

void tst_Placement::place() {
    QFETCH(QString, code);
    QFETCH(double, rl);
    QFETCH(double, rt);
    QFETCH(QPoint, expected);
    const std::optional<QPoint> at =
        notePosition(Stored("position", code).preferences.notePlace(), kArea, kNote, rl, rt);
    QCOMPARE(bool(at), !expected.isNull());
    if (!at)
        return;
    QVERIFY(kArea.contains(QRect(*at, kNote)));
    QVERIFY2((*at - expected).manhattanLength() <= (code.isEmpty() ? 2 : 0),
             qPrintable(QStringLiteral("%1,%2").arg(at->x()).arg(at->y())));
}

void tst_Placement::colours() {
    // "couleur" is read as blue, green, red (which texts give a colour: tst_settings).
    QCOMPARE(fixedNoteColour("16711680"), std::optional<quint32>(0x0000FF));
    for (int i = 0; i < 8; ++i)
        QCOMPARE(storedToRgb(kNoteColours[i]), kEightColours[i]);
    // A random draw times 7 is rounded to the nearest, halves to even: each of the eight comes.
    const QList<QPair<double, int>> draws = {{0.0, 0},     {0.5 / 7, 0},  {0.51 / 7, 1}, {1.5 / 7, 2},    {2.5 / 7, 2},
                                             {3.0 / 7, 3}, {0.5, 4},      {4.5 / 7, 4},  {5.0 / 7, 5},    {5.5 / 7, 6},
                                             {6.5 / 7, 6}, {6.51 / 7, 7}, {0.999999, 7}, {1.0 - 1e-16, 7}};
    for (const auto& [draw, index] : draws)
        QVERIFY2(randomNoteColour(draw) == kEightColours[index], qPrintable(QString::number(draw)));
}

QTEST_GUILESS_MAIN(tst_Placement)
#include "tst_placement.moc"
