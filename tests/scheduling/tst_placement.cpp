#include <QRandomGenerator>
#include <QTest>

#include "scheduling/NotePlacement.h"

using namespace tavanote;

namespace {

// A second monitor to the right of the first, its available area below a 24-pixel panel.
const QRect kArea(1920, 24, 1280, 1000);
const QSize kNote(280, 190);

const QList<quint32> kEightColours = {0xE0E0E0, 0xFF8080, 0xFFC080, 0xFFFF80, 0x80FF80, 0x80FFFF, 0x8080FF, 0xFF80FF};

QString hex(quint32 rgb) {
    return QStringLiteral("%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

class tst_Placement : public QObject {
    Q_OBJECT
private slots:
    void bottomRightTouchesTheAreasCorner();
    void fixedPlaces_data();
    void fixedPlaces();
    void randomPlaceStaysWithinTheArea_data();
    void randomPlaceStaysWithinTheArea();
    void otherCodesLeaveThePlaceToTheWindowSystem_data();
    void otherCodesLeaveThePlaceToTheWindowSystem();
    void fixedColourIsReadAsBlueGreenRed();
    void randomColourIsAlwaysOneOfTheEight();
    void randomColourRoundsHalvesToEven_data();
    void randomColourRoundsHalvesToEven();
};

void tst_Placement::bottomRightTouchesTheAreasCorner() {
    const std::optional<QPoint> at = notePosition("8", kArea, kNote, 0, 0);
    QVERIFY(at);
    QCOMPARE(QRect(*at, kNote).bottomRight(), kArea.bottomRight());
    QCOMPARE(*at, QPoint(1920 + 1280 - 280, 24 + 1000 - 190));
}

void tst_Placement::fixedPlaces_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QPoint>("expected");
    const int right = 1920 + 1280 - 280;
    const int centre = 1920 + (1280 - 280) / 2;
    const int bottom = 24 + 1000 - 190;
    const int middle = 24 + (1000 - 190) / 2;
    QTest::newRow("0 en haut à gauche") << "0" << QPoint(1920, 24);
    QTest::newRow("1 en haut au centre") << "1" << QPoint(centre, 24);
    QTest::newRow("2 en haut à droite") << "2" << QPoint(right, 24);
    QTest::newRow("3 au milieu à gauche") << "3" << QPoint(1920, middle);
    QTest::newRow("4 au milieu au centre") << "4" << QPoint(centre, middle);
    QTest::newRow("5 au milieu à droite") << "5" << QPoint(right, middle);
    QTest::newRow("6 en bas à gauche") << "6" << QPoint(1920, bottom);
    QTest::newRow("7 en bas au centre") << "7" << QPoint(centre, bottom);
    QTest::newRow("8 en bas à droite") << "8" << QPoint(right, bottom);
}

void tst_Placement::fixedPlaces() {
    QFETCH(QString, code);
    QFETCH(QPoint, expected);
    // The draws play no part in a fixed place.
    QCOMPARE(notePosition(code, kArea, kNote, 0.7, 0.3), std::optional<QPoint>(expected));
    QVERIFY(kArea.contains(QRect(expected, kNote)));
}

void tst_Placement::randomPlaceStaysWithinTheArea_data() {
    QTest::addColumn<double>("rl");
    QTest::addColumn<double>("rt");
    QTest::newRow("0, 0") << 0.0 << 0.0;
    QTest::newRow("0.5, 0.5") << 0.5 << 0.5;
    QTest::newRow("0.999999, 0.999999") << 0.999999 << 0.999999;
    QTest::newRow("0, 0.999999") << 0.0 << 0.999999;
    QTest::newRow("0.999999, 0") << 0.999999 << 0.0;
}

void tst_Placement::randomPlaceStaysWithinTheArea() {
    QFETCH(double, rl);
    QFETCH(double, rt);
    const std::optional<QPoint> at = notePosition(QString(), kArea, kNote, rl, rt);
    QVERIFY(at);
    QVERIFY2(kArea.contains(QRect(*at, kNote)), qPrintable(QStringLiteral("%1,%2").arg(at->x()).arg(at->y())));
    // The first draw moves the note across, the second down.
    QVERIFY(qAbs(at->x() - (kArea.left() + rl * (kArea.width() - kNote.width()))) <= 1);
    QVERIFY(qAbs(at->y() - (kArea.top() + rt * (kArea.height() - kNote.height()))) <= 1);
}

void tst_Placement::otherCodesLeaveThePlaceToTheWindowSystem_data() {
    QTest::addColumn<QString>("code");
    QTest::newRow("9") << "9";
    QTest::newRow("-1") << "-1";
    QTest::newRow("10") << "10";
    QTest::newRow("letter") << "a";
    QTest::newRow("08") << "08";
}

void tst_Placement::otherCodesLeaveThePlaceToTheWindowSystem() {
    QFETCH(QString, code);
    QVERIFY(!notePosition(code, kArea, kNote, 0.5, 0.5));
}

void tst_Placement::fixedColourIsReadAsBlueGreenRed() {
    QCOMPARE(hex(fixedNoteColour("255").value_or(0x123456)), QStringLiteral("FF0000"));
    QCOMPARE(hex(fixedNoteColour("12648447").value_or(0x123456)), QStringLiteral("FFFFC0"));
    QCOMPARE(hex(fixedNoteColour("16711680").value_or(0x123456)), QStringLiteral("0000FF"));
    QCOMPARE(hex(fixedNoteColour("0").value_or(0x123456)), QStringLiteral("000000"));
    QVERIFY(!fixedNoteColour(QString()));
}

void tst_Placement::randomColourIsAlwaysOneOfTheEight() {
    QRandomGenerator random(7);
    QList<double> draws = {0.0, 0.5 / 7, 0.999999, 0.9999999999, 1.0 - 1e-16};
    for (int i = 0; i < 2000; ++i)
        draws << random.generateDouble();
    QSet<quint32> seen;
    for (const double draw : draws) {
        const quint32 colour = randomNoteColour(draw);
        QVERIFY2(kEightColours.contains(colour), qPrintable(QStringLiteral("%1 gives %2").arg(draw).arg(hex(colour))));
        seen.insert(colour);
    }
    QCOMPARE(seen.size(), 8);
    // The table as stored, blue in the high byte.
    for (int i = 0; i < 8; ++i)
        QCOMPARE(hex(storedToRgb(kNoteColours[i])), hex(kEightColours[i]));
}

void tst_Placement::randomColourRoundsHalvesToEven_data() {
    QTest::addColumn<double>("draw");
    QTest::addColumn<int>("index");
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("0.5/7") << 0.5 / 7 << 0;
    QTest::newRow("0.51/7") << 0.51 / 7 << 1;
    QTest::newRow("1.5/7") << 1.5 / 7 << 2;
    QTest::newRow("2.5/7") << 2.5 / 7 << 2;
    QTest::newRow("3.5/7 (0.5)") << 0.5 << 4;
    QTest::newRow("4.5/7") << 4.5 / 7 << 4;
    QTest::newRow("5.5/7") << 5.5 / 7 << 6;
    QTest::newRow("6.5/7") << 6.5 / 7 << 6;
    QTest::newRow("6.51/7") << 6.51 / 7 << 7;
    QTest::newRow("0.999999") << 0.999999 << 7;
}

void tst_Placement::randomColourRoundsHalvesToEven() {
    QFETCH(double, draw);
    QFETCH(int, index);
    QCOMPARE(hex(randomNoteColour(draw)), hex(kEightColours[index]));
}

QTEST_GUILESS_MAIN(tst_Placement)
#include "tst_placement.moc"
