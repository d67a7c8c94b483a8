#include <QTest>

class tst_editor : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(tst_editor)
#include "tst_editor.moc"
