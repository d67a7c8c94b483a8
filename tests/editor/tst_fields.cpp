#include <QTest>

class tst_fields : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(tst_fields)
#include "tst_fields.moc"
