#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "main_window/frmApropos.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

// One about window, loaded and shown; its owner deletes it when the test ends, closed or not.
struct About {
    explicit About(TestWorld& w) : frm(new frmApropos(w.services(), &owner)) {
        frm->Form_Load();
        frm->show();
        frm->activateWindow();
        if (!QTest::qWaitForWindowActive(frm))
            QTest::qFail("the about window is not active", __FILE__, __LINE__);
    }
    QWidget owner;
    QPointer<frmApropos> frm;
};

}  // namespace

class tst_apropos : public QObject {
    Q_OBJECT
private slots:
    void systemInformation_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("started");
        QTest::newRow("none") << QStringList() << QStringList();
        QTest::newRow("the first of the list")
            << QStringList{"gnome-system-monitor", "hardinfo2"} << QStringList{"/usr/bin/hardinfo2"};
    }
    void systemInformation() {
        QFETCH(QStringList, installed);
        QFETCH(QStringList, started);
        TestWorld w;
        for (const QString& name : installed)
            w.platform.programs[name] = "/usr/bin/" + name;
        About about(w);
        if (started.isEmpty())
            w.dialogs.expect(Icon::Information, "Les informations système ne sont pas disponibles actuellement");
        ctl<QPushButton>(about.frm, "cmdSysInfo")->click();
        QVERIFY(w.dialogs.allAnswered());
        QCOMPARE(w.platform.started, started);
        ctl<QPushButton>(about.frm, "cmdOK")->click();
        QVERIFY(!about.frm->isVisible() && w.platform.started == started);
    }
};

QTEST_MAIN(tst_apropos)
#include "tst_apropos.moc"
