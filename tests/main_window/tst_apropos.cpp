#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "main_window/HelpSystem.h"
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

bool underlined(frmApropos* frm, int i) {
    return ctl<QLabel>(frm, QStringLiteral("lblUrl_%1").arg(i))->font().underline();
}

}  // namespace

class tst_apropos : public QObject {
    Q_OBJECT
private slots:
    void okCloses() {
        TestWorld w;
        About about(w);
        frmApropos* frm = about.frm;
        QVERIFY(frm->IsLoaded);
        QCOMPARE(frm->windowTitle(), QStringLiteral("A propos de..."));
        QVERIFY(frm->windowFlags() & Qt::WindowStaysOnTopHint);
        ctl<QPushButton>(frm, "cmdOK")->click();
        QVERIFY(!frm->IsLoaded);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about.frm.isNull());
    }

    void keysClose_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("letter") << int(Qt::Key_A);
    }
    void keysClose() {
        QFETCH(int, key);
        TestWorld w;
        About about(w);
        auto* button = ctl<QPushButton>(about.frm, "cmdSysInfo");
        button->setFocus();
        QTest::keyClick(button, Qt::Key(key));
        QVERIFY(!about.frm->IsLoaded);
        QVERIFY(!about.frm->isVisible());
        QVERIFY(w.platform.started.isEmpty());
    }

    void f1OpensHelpAndKeepsTheWindow() {
        TestWorld w;
        About about(w);
        QTest::keyClick(about.frm, Qt::Key_F1);
        QCOMPARE(w.help.shown, QList({std::pair<QString, HelpContext>("frmApropos", HelpContext::About)}));
        QVERIFY(about.frm->IsLoaded);
        QVERIFY(about.frm->isVisible());
    }

    void systemInformation_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("started");
        QTest::newRow("none") << QStringList() << QStringList();
        QTest::newRow("hardinfo") << QStringList{"hardinfo"} << QStringList{"/usr/bin/hardinfo"};
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
        QVERIFY(about.frm->IsLoaded);
    }

    void linksOpenTheSiteAndAMail() {
        TestWorld w;
        About about(w);
        QTest::mouseClick(ctl<QLabel>(about.frm, "lblUrl_0"), Qt::LeftButton);
        QCOMPARE(w.dialogs.openedUrls, QList<QUrl>{QUrl("https://tavanote.example.org")});

        const QString mail =
            "mailto:contact@tavanote.example.org?Subject=Tavanote version 2.0.0&Body=Saisissez "
            "ci-dessous le texte de votre message:";
        QTest::mouseClick(ctl<QLabel>(about.frm, "lblUrl_1"), Qt::LeftButton);
        QCOMPARE(w.dialogs.openedUrls.size(), 2);
        QCOMPARE(QUrl::fromPercentEncoding(w.dialogs.openedUrls.last().toEncoded()), mail);
        QVERIFY(about.frm->IsLoaded);
    }

    void linksUnderlineUnderTheMouse() {
        TestWorld w;
        About about(w);
        QVERIFY(!underlined(about.frm, 0) && !underlined(about.frm, 1));
        QTest::mouseMove(ctl<QLabel>(about.frm, "lblUrl_0"));
        QVERIFY(underlined(about.frm, 0));
        QTest::mouseMove(ctl<QPlainTextEdit>(about.frm, "txtInformations")->viewport());
        QVERIFY(!underlined(about.frm, 0) && !underlined(about.frm, 1));
        QTest::mouseMove(ctl<QLabel>(about.frm, "lblUrl_1"));
        QVERIFY(underlined(about.frm, 1));
        QTest::mouseMove(about.frm, QPoint(4, 4));  // the background
        QVERIFY(!underlined(about.frm, 0) && !underlined(about.frm, 1));
    }
};

QTEST_MAIN(tst_apropos)
#include "tst_apropos.moc"
