// The settings window: what it shows of the stored settings, what saving writes, the start-up box and its entry,
// and closing without saving.
#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include "common/SettingsStore.h"
#include "support/TestWorld.h"
#include "windows/frmParametres.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kQuestion = QStringLiteral(
    "Êtes-vous sûr(e) que le programme ne doit pas s'activer \npas au prochain démarrage de l'ordinateur ?\n\n"
    "Attention:\nLes messages ne pourront pas s'afficher si le programme\nn'est pas démarré.");

// The window opened as the main window opens it, over the defaults changed by stored; it deletes itself on
// close, and whatever is left is deleted at the end.
struct Opened {
    explicit Opened(TestWorld& w, const QList<QPair<QString, QString>>& stored = {}) {
        const QList<QPair<QString, QString>> defaults = {
            {"suppression", "0"},  {"position", ""},       {"couleur", "12648447"},        {"affichage", "3"},
            {"demarrage pc", "1"}, {"fin programme", "1"}, {"confirmation fermeture", "1"}};
        for (const auto& pair : defaults + stored)
            w.settingsStore->set(kParametres, pair.first, pair.second);
        frm = new frmParametres(w.services(), w.host);
        frm->Form_Load();
        frm->show();
    }
    ~Opened() { delete frm; }
    frmParametres* operator->() const { return frm; }
    template <typename T>
    T* c(const char* name) const {
        return ctl<T>(frm, QLatin1String(name));
    }
    QPointer<frmParametres> frm;
};

// Clicks a box or option near its left edge, where a click lands whatever the width the layout gives it.
void clickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

void save(const Opened& frm) {
    QTest::mouseClick(frm.c<QPushButton>("Boutons_0"), Qt::LeftButton);
}

QString stored(TestWorld& w, const char* key) {
    return w.settingsStore->get(kParametres, QLatin1String(key));
}

}  // namespace

class tst_Parametres : public QObject {
    Q_OBJECT

private slots:
    // "Manuelle", a fixed position, a fixed red colour and the time alone come back as stored, and are saved
    // back in one write.
    void loadAndSaveRoundTrip() {
        TestWorld w;
        Opened frm(w, {{"suppression", "1"}, {"position", "5"}, {"couleur", "255"}, {"affichage", "2"}});
        QVERIFY(frm.c<QRadioButton>("optSuppression_1")->isChecked() &&
                frm.c<QRadioButton>("optPosition_1")->isChecked() && frm.c<QRadioButton>("optCouleur_1")->isChecked());
        QCOMPARE(frm.c<QComboBox>("cboPosition")->currentText(), QStringLiteral("Au milieu à droite"));
        QVERIFY(!frm.c<QCheckBox>("chkDateHeure_0")->isChecked() && frm.c<QCheckBox>("chkDateHeure_1")->isChecked());
        const int writes = w.settingsStore->writes();
        save(frm);
        QVERIFY(frm.frm && frm->isVisible() && w.dialogs.shown.empty());  // the window stays open
        QCOMPARE(w.settingsStore->writes(), writes + 1);
        SettingsStore written(w.settingsStore->fileName());
        for (const QString pair : {"suppression=1", "position=5", "couleur=255", "affichage=2", "fin programme=1"})
            QCOMPARE(written.get(kParametres, pair.section('=', 0, 0)), pair.section('=', 1));
    }

    // Unticking asks (No ticks it again), ticking asks nothing; saving writes the box and applies it at once.
    void startWithComputerBox_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("answer");  // -1: no question
        QTest::addColumn<bool>("ticked");
        QTest::newRow("untick, No") << "1" << int(Answer::No) << true;
        QTest::newRow("untick, Yes") << "1" << int(Answer::Yes) << false;
        QTest::newRow("tick") << "0" << -1 << true;
    }
    void startWithComputerBox() {
        QFETCH(QString, before);
        QFETCH(int, answer);
        QFETCH(bool, ticked);
        TestWorld w;
        Opened frm(w, {{"demarrage pc", before}});
        QCheckBox* box = frm.c<QCheckBox>("chkDemarragePC");
        QCOMPARE(box->isChecked(), before == QLatin1String("1"));
        if (answer >= 0)
            w.dialogs.expect(Icon::Question, kQuestion, Answer(answer));
        clickBox(box);
        QVERIFY(w.dialogs.allAnswered() && w.dialogs.shown.size() == size_t(answer >= 0 ? 1 : 0));
        QCOMPARE(box->isChecked(), ticked);
        // Nothing is written or applied before saving.
        QVERIFY(stored(w, "demarrage pc") == before && w.platform.autostartCalls.isEmpty());
        save(frm);
        QCOMPARE(stored(w, "demarrage pc"), ticked ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(w.platform.autostartCalls, QList<int>{ticked ? 1 : 0});
    }

    // "&Quitter" and Esc close the window, which goes, and write nothing.
    void closingWritesNothing() {
        for (const bool escape : {false, true}) {
            TestWorld w;
            Opened frm(w);
            const auto before = w.settingsStore->section(kParametres);
            for (const char* name : {"optSuppression_1", "optPosition_1", "chkDateHeure_0", "chkFinProgramme"})
                clickBox(frm.c<QAbstractButton>(name));
            if (escape)
                QTest::keyClick(frm.c<QCheckBox>("chkFermeture"), Qt::Key_Escape);
            else
                QTest::mouseClick(frm.c<QPushButton>("Boutons_2"), Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!frm.frm && w.settingsStore->section(kParametres) == before && w.settingsStore->writes() == 0);
            QVERIFY(w.platform.autostartCalls.isEmpty() && w.dialogs.shown.empty());
        }
    }
};

QTEST_MAIN(tst_Parametres)
#include "tst_parametres.moc"
