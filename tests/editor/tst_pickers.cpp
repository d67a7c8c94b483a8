#include <QTest>

class tst_pickers : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(tst_pickers)
#include "tst_pickers.moc"
