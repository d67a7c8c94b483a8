#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>

#include "common/SettingsStore.h"
#include "support/MainWindowWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kQuestion = QStringLiteral("Êtes-vous sûr(e) de vouloir quitter le programme 'Tavanote' ?");
const QString kActive = QStringLiteral(
    "\nIl existe des messages actifs à afficher [%1 message(s)]\n"
    "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.");

// Records any box and answers OK, for a box whose text is known only in part.
class AnyBoxDialogs : public FakeDialogs {
public:
    Answer message(QWidget*, const QString& text, Icon icon, Buttons buttons, const QString& title,
                   std::optional<Answer>) override {
        shown.push_back({title, text, icon, buttons});
        return Answer::Ok;
    }
};

QString text(QWidget* parent, const QString& label) {
    return ctl<QLabel>(parent, label)->text();
}

QString cell(frmGestionMessages& frm, int list, int row, int column, int role = Qt::DisplayRole) {
    MessageListModel* m = frm.listModel(list);
    return m->data(m->index(row, column), role).toString();
}

// Each row of a list as "No:id".
QStringList numbered(frmGestionMessages& frm, int list) {
    QStringList texts;
    for (int row = 0; row < frm.listModel(list)->rowCount(); ++row)
        texts << cell(frm, list, row, 0) + QLatin1Char(':') + cell(frm, list, row, kIdColumn);
    return texts;
}

}  // namespace

class tst_frmGestionMessages : public QObject {
    Q_OBJECT
private slots:
    void unusableOrMissingMessageFileEndsTheProgram_data() {
        QTest::addColumn<QByteArray>("bytes");  // Null: no file
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("unusable") << QByteArray("ceci n'est pas une base");
    }
    void unusableOrMissingMessageFileEndsTheProgram() {
        QFETCH(QByteArray, bytes);
        TestWorld w(QStringLiteral("05/06/2026 09:00"), false);
        QFile file(w.storePath());
        if (!bytes.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        AnyBoxDialogs boxes;
        Services services{w.clock, w.random,   boxes,  *w.settingsStore, w.preferences,
                          w.store, w.platform, w.tray, w.help,           w.programFolder()};
        frmGestionMessages frm(services, false);
        QVERIFY(!frm.Form_Load());
        QCOMPARE(boxes.shown.size(), size_t(1));
        const QString told = boxes.shown[0].text;
        QVERIFY2(bytes.isNull() ? told == "Impossible de trouver le fichier contenant les messages.\n\nFin du programme"
                                : told.contains(w.storePath()) && told.endsWith("Fin du programme"),
                 qPrintable(told));
        QCOMPARE(w.platform.endStatus, 1);
        QCOMPARE(file.open(QIODevice::ReadOnly), !bytes.isNull());  // a missing file is not made
        QCOMPARE(file.readAll(), bytes.isNull() ? QByteArray() : bytes);
    }

    // Another program writing all along: the start-up pass changes nothing, one box says why, the program goes on.
    void startupPassThatCannotBeginIsToldAndTheProgramGoesOn() {
        MainWindowWorld w;
        const qint64 id =
            w.insert("Courrier", "x", "10/03/2026", "08:00", "actif", "2", "01/06/2026 08:00", "31/12/2026 08:00");
        SqlProbe other(w.storePath());
        QVERIFY(other.run(QStringLiteral("BEGIN IMMEDIATE")).ok);
        w.dialogs.expect(Icon::Exclamation,
                         QStringLiteral("Les messages dont l'heure d'affichage est passée n'ont pas pu être mis à "
                                        "jour: aucun message n'a été modifié.\nIls le seront au prochain démarrage "
                                        "du programme.\n\nLe fichier est utilisé par un autre programme: attendez "
                                        "qu'il ait fini, ou fermez-le, puis recommencez.\n(database is locked)"));
        w.load();
        QVERIFY(w.dialogs.allAnswered());
        QVERIFY(w.tray.isAdded() && ctl<QTimer>(w.frm.get(), "Timer2")->isActive());
        QVERIFY(other.run(QStringLiteral("ROLLBACK")).ok);
        QCOMPARE(w.sql(QStringLiteral("SELECT prochainaffichage FROM message WHERE id = %1").arg(id)).text(0),
                 QStringLiteral("01/06/2026 08:00"));
    }

    void listsByStateInIdOrderTrimmedRenumberedOnRefresh() {
        MainWindowWorld w;
        const auto add = [&](const QString& titre, const QString& etat) { return QString::number(w.add(titre, etat)); };
        const QString z = add("Zèbre", "Actif");
        const QString u = add("Perdu", "perdu");
        const QString d = add("Dentiste", "affiche");
        const QString b = QString::number(w.insert("  Banque  ", "  Salle 2  ", " 12/06/2026 ", " 14:30 ", " ACTIF ",
                                                   " 3 ", " 12/06/2026 14:30 ", QString()));
        const QString n = add("Sans état", QString());
        const QString a = add("Accent", "affiché");
        const QString e = QString::number(w.insert({}, {}, {}, {}, "actif", "4x", {}, {}));  // Null fields
        w.load();
        frmGestionMessages& frm = *w.frm;
        QCOMPARE(numbered(frm, ListActifs), QStringList({"1:" + z, "2:" + b, "3:" + e}));
        QCOMPARE(numbered(frm, ListErrones), QStringList({"1:" + u, "2:" + n, "3:" + a}));
        QCOMPARE(numbered(frm, ListAffiches), QStringList({"1:" + d}));
        QCOMPARE(text(&frm, "lblNombre_1"), QStringLiteral("Nombre de messages érronés: 3"));
        QCOMPARE(w.count(QStringLiteral("etat IS NULL")), 1);  // listing writes nothing
        QCOMPARE(cell(frm, ListActifs, 1, 1) + '|' + cell(frm, ListActifs, 1, 5), "Banque|Affiché toutes les semaines");

        const QString m = add("Marché", "actif");
        w.sql(QStringLiteral("DELETE FROM message WHERE id = ") + z);
        frm.RefreshMessageLists();
        QCOMPARE(numbered(frm, ListActifs), QStringList({"1:" + b, "2:" + e, "3:" + m}));
    }

    void quitWarnsOfMessagesNotDisplayed_data() {
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("displayed");
        QTest::addColumn<QString>("warning");  // Null: "fin programme" "0", no box
        const QString one = QStringLiteral("Celui-ci ne sera plus affiché si vous quittez le programme.");
        const QString many = QStringLiteral("Ceux-ci ne seront plus affichés si vous quittez le programme.");
        QTest::newRow("none") << 0 << 0 << "";
        QTest::newRow("3+1") << 3 << 1 << kActive.arg(3) + "\nDe plus, 1 message est actuellement affiché.\n" + one;
        QTest::newRow("2+3") << 2 << 3 << kActive.arg(2) + "\nDe plus, 3 messages sont actuellement affichés.\n" + many;
        QTest::newRow("1 displayed") << 0 << 1 << "\nIl existe un message actuellement affiché.\n" + one;
        QTest::newRow("2 displayed") << 0 << 2
                                     << "\nIl existe des messages actuellement affichés [2 messages]\n" + many;
        QTest::newRow("no confirmation") << 1 << 1 << QString();
    }
    void quitWarnsOfMessagesNotDisplayed() {
        QFETCH(int, active);
        QFETCH(int, displayed);
        QFETCH(QString, warning);
        const bool asks = !warning.isNull();
        MainWindowWorld w;
        for (int i = 0; i < active + displayed; ++i)
            w.add(QString("Message %1").arg(i), i < active ? "actif" : "affiche");
        w.add("Erreur", "errone");  // never counted
        w.set("fin programme", QString::number(asks));
        w.load();
        if (asks)
            w.dialogs.expect(Icon::Question, kQuestion + (warning.isEmpty() ? "" : "\n\nAttention:" + warning),
                             Answer::Yes);
        w.frm->mnuQuitter_Click();
        QVERIFY(w.dialogs.allAnswered());  // any other box fails
        QVERIFY(w.platform.endCount == 1 && !w.store.isOpen() && !w.tray.isAdded());
        QCOMPARE(w.count(QStringLiteral("etat = 'affiche'")), displayed);  // quitting writes nothing
    }

    void answeringNoToCloseEscapeOrMenuKeepsRunning() {
        MainWindowWorld w;
        w.set("fin programme", QStringLiteral("1"));
        const QString question = kQuestion + "\n\nAttention:" + kActive.arg(1);
        w.add("Actif", "actif");
        w.load(true);
        frmGestionMessages* frm = w.frm.get();
        frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frm));
        const std::function<void()> ways[] = {[&] { frm->mnuQuitter_Click(); }, [&] { QVERIFY(!frm->close()); },
                                              [&] { QTest::keyClick(frm, Qt::Key_Escape); }};
        for (const auto& way : ways) {
            w.dialogs.expect(Icon::Question, question, Answer::No);
            way();
            QVERIFY(w.dialogs.allAnswered() && w.platform.endCount == 0 && w.store.isOpen() && frm->isVisible());
            QVERIFY(ctl<QTimer>(frm, "Timer2")->isActive());
        }
        w.dialogs.expect(Icon::Question, question, Answer::Yes);
        frm->close();
        QVERIFY(w.dialogs.allAnswered() && w.platform.endCount == 1 && !w.store.isOpen());
    }
};

QTEST_MAIN(tst_frmGestionMessages)
#include "tst_frmgestionmessages.moc"
