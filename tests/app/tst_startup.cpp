// The start: the splash window's load and hand-over, the start-up entry's boxes, the single-copy rule; then the
// settings window, and the program's real message box.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/Application.h"
#include "support/TestWorld.h"
#include "windows/frmIntro.h"
#include "windows/frmParametres.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kQuestion = QStringLiteral(
    "Êtes-vous sûr(e) que le programme ne doit pas s'activer \npas au prochain démarrage de l'ordinateur ?\n\n"
    "Attention:\nLes messages ne pourront pas s'afficher si le programme\nn'est pas démarré.");

// Started with this argument and a folder, the test program becomes a copy that claims the lock and waits.
const char* const kHoldLockArgument = "--hold-lock";

int holdLock(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    DesktopPlatform platform(folder + "/tavanote", folder + "/Tavanote.desktop", folder + "/verrou");
    std::printf(platform.claimSingleCopy() ? "locked\n" : "refused\n");
    std::fflush(stdout);
    // Holds the claim until killed (or until the test program goes away and closes our input).
    while (std::getchar() != EOF) {
    }
    return 0;
}

// The settings window opened as the main window opens it, over the stored values given; it deletes itself on
// close, and whatever is left is deleted at the end.
struct Settings {
    explicit Settings(TestWorld& w, const QList<QPair<QString, QString>>& stored) {
        for (const auto& pair : stored)
            w.settingsStore->set(kParametres, pair.first, pair.second);
        frm = new frmParametres(w.services(), w.host);
        frm->Form_Load();
        frm->show();
    }
    ~Settings() { delete frm; }
    template <typename T>
    T* c(const char* name) const {
        return ctl<T>(frm, QLatin1String(name));
    }
    // Clicks a box or option near its left edge, where a click lands whatever the width the layout gives it.
    void click(const char* name) const {
        auto* box = c<QAbstractButton>(name);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    }
    QPointer<frmParametres> frm;
};

QString stored(TestWorld& w, const char* key) {
    return w.settingsStore->get(kParametres, QLatin1String(key));
}

}  // namespace

class tst_Startup : public QObject {
    Q_OBJECT

private slots:
    // Another copy running: told, nothing written, no hand-over. Otherwise the start-up entry follows the stored
    // choice (any value but 0 is 1), written back; a missing executable is told, then the entry removed as the
    // settings window's box would; an entry not written is told once, one not removed is not. The first tick does
    // nothing; the second hides the splash, stops the timer and hands over once, telling whether an older version
    // ran before.
    void startupEntryAtLoad() {
        const std::tuple<const char*, Autostart::Outcome, QList<int>> rows[] = {
            // the stored choice ("copy": another copy running), the entry's outcome, the values applied
            {"copy", Autostart::Outcome::Done, {}}, {"", Autostart::Outcome::Done, {1}},
            {"0", Autostart::Outcome::Failed, {0}}, {"1", Autostart::Outcome::MissingExecutable, {1, 0}},
            {"2", Autostart::Outcome::Failed, {1}}, {"blocked", Autostart::Outcome::Done, {}}};
        for (const auto& [value, outcome, calls] : rows) {
            TestWorld w;
            const bool copy = qstrcmp(value, "copy") == 0;
            w.platform.otherCopyRunning = copy;
            if (qstrlen(value) == 1)
                w.settingsStore->set(kParametres, QStringLiteral("demarrage pc"), value);
            if (qstrcmp(value, "0") == 0)
                w.settingsStore->set(kParametres, QStringLiteral("date de debut"), QStringLiteral("14/03/2019"));
            w.platform.autostartOutcomes = {outcome};
            w.platform.autostartReason =
                QStringLiteral("Le dossier /home/lea/.config/autostart ne peut pas être créé.");
            if (copy)
                w.dialogs.expect(Icon::Information, QStringLiteral("Le programme est déjà en cours d'utilisation."));
            // Settings that cannot be saved: one box says why and where, then the program goes on with the defaults,
            // leaving the entry as it is.
            if (qstrcmp(value, "blocked") == 0 && QFile(w.dir.filePath("config")).open(QIODevice::WriteOnly))
                w.dialogs.expect(Icon::Exclamation, "Les paramètres ne peuvent pas être enregistrés dans:\n" +
                                                        w.settingsStore->fileName() +
                                                        "\n\nCe dossier n'est pas accessible en écriture.\n\nLe "
                                                        "programme utilise les paramètres par défaut; les changements "
                                                        "faits pendant cette session seront perdus à sa fin.");
            if (outcome == Autostart::Outcome::Failed && calls[0] == 1)
                w.dialogs.expect(Icon::Information,
                                 "Le démarrage avec la session n'a pas pu être enregistré dans:\n"
                                 "/home/lea/.config/autostart/Tavanote.desktop\n\n" +
                                     w.platform.autostartReason,
                                 Answer::Ok, QStringLiteral("ERREUR..."));
            if (outcome == Autostart::Outcome::MissingExecutable) {
                w.dialogs.expect(Icon::Information,
                                 QStringLiteral("Fichier introuvable: tavanote n'a pas été trouvé.\n"
                                                "Celui-ci devrait se trouver dans le dossier: \n/opt/tavanote"),
                                 Answer::Ok, QStringLiteral("ERREUR..."));
                w.dialogs.expect(Icon::Question, kQuestion, Answer::Yes);
            }
            QList<bool> unloads;
            frmIntro frm(w.services(), [&](bool newVersion) { unloads << newVersion; });
            QCOMPARE(frm.Form_Load(), !copy);
            QVERIFY2(w.dialogs.allAnswered(), value);
            QCOMPARE(w.platform.autostartCalls, calls);
            QVERIFY(!w.store.isOpen() && frm.Timer1->isActive() != copy);  // the main window opens the message file
            if (copy) {
                QVERIFY(w.settingsStore->section(kParametres).isEmpty() && w.settingsStore->writes() == 0);
                QCOMPARE(QFileInfo(w.dir.path() + "/config/Tavanote.ini").size(), 0);
                continue;
            }
            QCOMPARE(stored(w, "demarrage pc"), QString::number(calls.value(0, 1)));
            frm.show();
            QVERIFY(QMetaObject::invokeMethod(frm.Timer1, "timeout"));
            QVERIFY(unloads.isEmpty() && frm.isVisible());
            QVERIFY(QMetaObject::invokeMethod(frm.Timer1, "timeout"));
            QCOMPARE(unloads, QList<bool>{qstrcmp(value, "0") == 0});
            QVERIFY(!frm.isVisible() && !frm.Timer1->isActive());
        }
    }

    // A claim is refused while another holds it, even a copy in another process; once that one is gone, or was
    // SIGKILLed and left its lock behind, the next copy may run.
    void singleCopyClaim() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("verrou"));
        QVERIFY(QDir().mkpath(folder));
        const auto platform = [&](const QString& lockFolder) {
            return std::make_unique<DesktopPlatform>(dir.filePath("tavanote"), dir.filePath("Tavanote.desktop"),
                                                     lockFolder);
        };
        auto first = platform(folder);
        QVERIFY(first->claimSingleCopy() && first->claimSingleCopy());  // asking again keeps the claim
        first.reset();

        QProcess copy;
        copy.start(QCoreApplication::applicationFilePath(), {QLatin1String(kHoldLockArgument), dir.path()});
        QVERIFY(copy.waitForStarted());
        QByteArray said;
        while (!said.contains("\n") && copy.state() == QProcess::Running && copy.waitForReadyRead(30000))
            said += copy.readAllStandardOutput();
        QCOMPARE(said, QByteArray("locked\n"));
        QVERIFY(!platform(folder)->claimSingleCopy());
        copy.kill();  // SIGKILL: the lock stays behind
        QVERIFY(copy.waitForFinished(30000));
        QVERIFY(!QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(platform(folder)->claimSingleCopy());
    }

    // "Manuelle", a fixed position, a fixed red colour and the time alone show as stored. "&Quitter" and Esc close
    // the window, which goes, writing and applying nothing; "OK" saves in one write, applies the start-up box at
    // once, and the window stays open. Unticking the box asks (No ticks it again), ticking asks nothing.
    void settingsWindowShowsAndSaves() {
        TestWorld w;
        w.settingsStore->set(kParametres, QStringLiteral("demarrage pc"), QStringLiteral("1"));
        const std::pair<const char*, int> rows[] = {// how the window is closed, the answer to the box's question
                                                    {"Boutons_2", int(Answer::No)},
                                                    {"Esc", int(Answer::Yes)},
                                                    {"Boutons_0", int(Answer::Yes)},
                                                    {"Boutons_0", -1}};
        for (const auto& [close, answer] : rows) {
            Settings frm(w, {{"suppression", "1"}, {"position", "5"}, {"couleur", "255"}, {"affichage", "2"}});
            QString checked;
            for (const char* name :
                 {"optSuppression_1", "optPosition_1", "optCouleur_1", "chkDateHeure_0", "chkDateHeure_1"})
                checked += QString::number(frm.c<QAbstractButton>(name)->isChecked());
            QCOMPARE(checked, "11101");
            QCOMPARE(frm.c<QComboBox>("cboPosition")->currentText(), QStringLiteral("Au milieu à droite"));
            const int writes = w.settingsStore->writes();
            const QList<int> applied = w.platform.autostartCalls;
            if (answer >= 0)
                w.dialogs.expect(Icon::Question, kQuestion, Answer(answer));
            for (const char* name : {"optSuppression_0", "chkDateHeure_0", "chkDemarragePC"})
                frm.click(name);
            QVERIFY(w.dialogs.allAnswered());
            const bool ticked = answer != int(Answer::Yes);
            QCOMPARE(frm.c<QCheckBox>("chkDemarragePC")->isChecked(), ticked);
            if (qstrcmp(close, "Esc") == 0)
                QTest::keyClick(frm.c<QCheckBox>("chkFermeture"), Qt::Key_Escape);
            else
                frm.c<QPushButton>(close)->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            const bool saved = qstrcmp(close, "Boutons_0") == 0;
            QVERIFY(bool(frm.frm) == saved && w.settingsStore->writes() == writes + saved);
            QCOMPARE(stored(w, "suppression") + stored(w, "affichage"), saved ? "03" : "12");
            QCOMPARE(w.platform.autostartCalls, saved ? applied + QList<int>{ticked} : applied);
            QCOMPARE(stored(w, "demarrage pc"), saved ? QString::number(ticked) : "1");
        }
    }

    // User text shows exactly as typed, never read as markup, with both line breaks, and Qt's own buttons in
    // French.
    void realBoxShowsTextAsTypedWithFrenchButtons() {
        QVERIFY(installFrenchTranslations());
        const QString text = QStringLiteral("Le message <b>Rappel</b> urgent [*]\n\na été supprimé.");
        QStringList seen;
        // Reads the box once it is open, then answers No, as a user's click would; the box never stays open.
        QTimer reader;
        connect(&reader, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            auto* label = box ? box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")) : nullptr;
            if (!label)
                return;
            reader.stop();
            seen << box->windowTitle() << label->text() << QString::number(label->textFormat())
                 << QString::number(label->sizeHint().height() / label->fontMetrics().lineSpacing())
                 << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text();
            box->button(QMessageBox::No)->click();
        });
        reader.start(10);
        QCOMPARE(QtDialogs().message(nullptr, text, Icon::Information, Buttons::YesNo, "Tavanote", Answer::No),
                 Answer::No);
        QCOMPARE(seen.replaceInStrings("&", ""),
                 QStringList({"Tavanote", text, QString::number(Qt::PlainText), "3", "Oui", "Non"}));
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], kHoldLockArgument) == 0)
        return holdLock(argc, argv);
    QApplication app(argc, argv);
    tst_Startup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
