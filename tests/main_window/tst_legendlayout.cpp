// What the main window shows whole: the legend's headings and every word in them, and, legend hidden, the date
// and the clock however long the hint beside them.
#include <QLabel>
#include <QStatusBar>
#include <QTest>

#include "main_window/frmGestionMessages.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

class tst_LegendLayout : public QObject {
    Q_OBJECT
private slots:
    void headingsAndClockShowWhole() {
        TestWorld w("30/09/2026 23:59");  // the longest date of the year
        w.settingsStore->set(kParametres, "legende", "0");
        frmGestionMessages frm(w.services(), false);
        QVERIFY(frm.Form_Load());
        frm.show();
        ctl<QLabel>(&frm, "StatusBar1_Panel1")->setText(QString(200, QLatin1Char('m')));
        QStatusBar* bar = ctl<QStatusBar>(&frm, "StatusBar1");
        QTest::qWait(50);  // the bar lays its panels out again
        for (const char* name : {"StatusBar1_Panel2", "StatusBar1_Panel3"}) {
            auto* panel = ctl<QLabel>(bar, name);
            QVERIFY2(panel->width() >= panel->sizeHint().width() &&
                         panel->mapTo(&frm, QPoint(panel->width(), 0)).x() <= frm.width(),
                     name);
        }

        QRect above;
        for (int i = 10; i <= 12; ++i) {
            auto* heading = ctl<QLabel>(&frm, QStringLiteral("Label2_%1").arg(i));
            QVERIFY(heading->height() >= heading->heightForWidth(heading->width()));
            for (const QString& word : heading->text().split(' '))
                QVERIFY2(heading->fontMetrics().horizontalAdvance(word) <= heading->width(), qPrintable(word));
            QVERIFY(!heading->geometry().intersects(above));
            above = heading->geometry();
        }
        QVERIFY(ctl<QLabel>(&frm, "lblCouleur_0")->y() > above.bottom());
        QWidget* last = ctl<QLabel>(&frm, "lblCouleur_9");
        QVERIFY(last->geometry().bottom() < last->parentWidget()->height());
    }
};

QTEST_MAIN(tst_LegendLayout)
#include "tst_legendlayout.moc"
