#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "app/SettingsStore.h"
#include "main_window/MessageListModel.h"
#include "main_window/frmGestionMessages.h"
#include "support/TestWorld.h"

using namespace tavanote;
using namespace tavanote::test;

namespace {

const QString kNow = QStringLiteral("05/06/2026 09:00");
const QString kQuestion = QStringLiteral("Êtes-vous sûr(e) de vouloir quitter le programme 'Tavanote' ?");

// Takes any box and answers OK, for a box whose text is known only in part; the test checks what was shown.
class AnyBoxDialogs : public FakeDialogs {
public:
    Answer message(QWidget*, const QString& text, Icon icon, Buttons buttons, const QString& title,
                   std::optional<Answer>) override {
        shown.push_back({title, text, icon, buttons});
        return Answer::Ok;
    }
};

// One message whose displays lie ahead of the test clock, so that nothing at load reschedules or shows it.
qint64 add(TestWorld& w, const QString& titre, const QString& etat, const QString& code) {
    return w.insert(titre, QStringLiteral("Texte de ") + titre, QStringLiteral("12/06/2026"), QStringLiteral("10:00"),
                    etat, code, QStringLiteral("12/06/2026 10:00"), QStringLiteral("31/12/2026 10:00"));
}

MessageListModel* model(frmGestionMessages& frm, int list) {
    return frm.listModel(list);
}

QString cell(frmGestionMessages& frm, int list, int row, int column) {
    MessageListModel* m = model(frm, list);
    return m->data(m->index(row, column), Qt::DisplayRole).toString();
}

QStringList columnTexts(frmGestionMessages& frm, int list, int column) {
    QStringList texts;
    for (int row = 0; row < model(frm, list)->rowCount(); ++row)
        texts << cell(frm, list, row, column);
    return texts;
}

QColor textColour(frmGestionMessages& frm, int list, int row, int column) {
    MessageListModel* m = model(frm, list);
    const QVariant brush = m->data(m->index(row, column), Qt::ForegroundRole);
    return brush.isValid() ? brush.value<QBrush>().color() : QColor();
}

QColor swatch(frmGestionMessages& frm, int code) {
    return ctl<QLabel>(&frm, QStringLiteral("lblCouleur_%1").arg(code))->palette().color(QPalette::Window);
}

QString id(qint64 value) {
    return QString::number(value);
}

// The mouse moving over a control, as the window sees it.
void moveOver(QWidget* widget, QPoint position = QPoint(-1, -1)) {
    if (position == QPoint(-1, -1))
        position = QPoint(widget->width() / 2, widget->height() / 2);
    QMouseEvent move(QEvent::MouseMove, QPointF(position), QPointF(widget->mapToGlobal(position)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QString hint(frmGestionMessages& frm) {
    return ctl<QLabel>(&frm, QStringLiteral("StatusBar1_Panel1"))->text();
}

void showAndExpose(QWidget& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

}  // namespace

class tst_frmGestionMessages : public QObject {
    Q_OBJECT
private slots:
    // Load
    void emptyStoreShowsThreeEmptyListsWithZeroCounts();
    void loadWritesDateAndTimeAndLeavesTheWindowHidden();
    void missingMessageFileEndsTheProgram();
    void unusableMessageFileEndsTheProgramAndIsLeftAsItWas();

    // Lists
    void stateChoosesTheList();
    void rowsKeepIdOrderAndNumberingRestartsOnEveryRefresh();
    void cellsShowTrimmedFieldsWithCodeAndIdHidden();
    void headersAndColumnWidths();
    void selectedMessageIdIsTheCurrentRowsId();
    void cellTextTakesTheSwatchColourOfItsCode();
    void unknownCodeHasAColourOfNoSwatch();

    // Legend
    void swatchesAndCaptions();
    void selectingACellPointsTheLegendArrow();
    void legendButtonHidesAndShowsTheLegend();
    void loadFollowsTheLegendSetting_data();
    void loadFollowsTheLegendSetting();

    // Tabs and hints
    void tabShowsItsListAndRefreshKeepsIt();
    void mouseMoveOverTheLegendWritesTheSwatchColour();
    void mouseMoveOverListsAndStatusBarWritesHints();

    // Quit
    void quitQuestionWarnsOfMessagesNotDisplayed_data();
    void quitQuestionWarnsOfMessagesNotDisplayed();
    void answeringNoKeepsTheProgramRunning();
    void quitWithoutConfirmationAsksNothing_data();
    void quitWithoutConfirmationAsksNothing();
    void closeRequestRunsTheQuit();
    void escapeRunsTheQuit();
    void minimisingHidesTheWindow();
};

void tst_frmGestionMessages::emptyStoreShowsThreeEmptyListsWithZeroCounts() {
    TestWorld w(kNow);
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    QVERIFY(w.dialogs.shown.empty());
    QCOMPARE(w.platform.endCount, 0);
    QVERIFY(w.store.isOpen());
    for (int list = 0; list < 3; ++list)
        QCOMPARE(model(frm, list)->rowCount(), 0);
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_0")->text(), QStringLiteral("Nombre de messages actifs: 0"));
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_1")->text(), QStringLiteral("Nombre de messages érronés: 0"));
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_2")->text(), QStringLiteral("Nombre de messages actuellement affichés: 0"));
    QCOMPARE(frm.SelectedMessageId(ctl<QTableView>(&frm, "MSFactifs")), QString());
    QCOMPARE(frm.SelectedMessageId(ctl<QTableView>(&frm, "MSFErrones")), QString());
    QCOMPARE(frm.SelectedMessageId(ctl<QTableView>(&frm, "MSFaffiches")), QString());
    QVERIFY(frm.SelectedId.isEmpty());
}

void tst_frmGestionMessages::loadWritesDateAndTimeAndLeavesTheWindowHidden() {
    TestWorld w(kNow);
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    QCOMPARE(frm.windowTitle(), QStringLiteral("Gestion des messages"));
    QCOMPARE(ctl<QLabel>(&frm, "StatusBar1_Panel1")->text(), QStringLiteral("Pour l'aide, appuyez sur F1..."));
    QCOMPARE(ctl<QLabel>(&frm, "StatusBar1_Panel2")->text(), QStringLiteral("  vendredi 5 juin 2026  "));
    QCOMPARE(ctl<QLabel>(&frm, "StatusBar1_Panel3")->text(), QStringLiteral("  09:00:00  "));
    QVERIFY(!frm.isVisible());
    // The first tab is selected: the active list is shown.
    QCOMPARE(frm.CurrentList, 0);
    QCOMPARE(ctl<QTabBar>(&frm, "TabStrip1")->currentIndex(), 0);
    QVERIFY(!ctl<QFrame>(&frm, "CadreMSF_0")->isHidden());
    QVERIFY(ctl<QFrame>(&frm, "CadreMSF_1")->isHidden());
    QVERIFY(ctl<QFrame>(&frm, "CadreMSF_2")->isHidden());
    QVERIFY(ctl<QTimer>(&frm, "Timer2")->isActive());
}

void tst_frmGestionMessages::missingMessageFileEndsTheProgram() {
    TestWorld w(kNow, false);
    frmGestionMessages frm(w.services(), false);
    w.dialogs.expect(Icon::Exclamation,
                     QStringLiteral("Impossible de trouver le fichier contenant les messages.\n\nFin du programme"));
    QVERIFY(!frm.Form_Load());
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.dialogs.shown.size(), size_t(1));
    QCOMPARE(w.dialogs.shown[0].title, QStringLiteral("Tavanote"));
    QCOMPARE(w.dialogs.shown[0].buttons, Buttons::Ok);
    QCOMPARE(w.platform.endCount, 1);
    QVERIFY(!w.store.isOpen());
    QVERIFY(!QFile::exists(w.storePath()));
    QVERIFY(!frm.isVisible());
}

void tst_frmGestionMessages::unusableMessageFileEndsTheProgramAndIsLeftAsItWas() {
    TestWorld w(kNow, false);
    const QByteArray bytes("ceci n'est pas une base");
    {
        QFile file(w.storePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), qint64(bytes.size()));
    }
    AnyBoxDialogs boxes;
    Services services{w.clock, w.random, boxes, *w.settingsStore, w.store, w.platform, w.programFolder()};
    frmGestionMessages frm(services, false);
    QVERIFY(!frm.Form_Load());

    QCOMPARE(boxes.shown.size(), size_t(1));
    const ShownBox& box = boxes.shown[0];
    QCOMPARE(box.icon, Icon::Exclamation);
    QCOMPARE(box.title, QStringLiteral("Tavanote"));
    QCOMPARE(box.buttons, Buttons::Ok);
    QVERIFY2(box.text.contains(w.storePath()), qPrintable(box.text));
    QVERIFY2(box.text.endsWith(QStringLiteral("Fin du programme")), qPrintable(box.text));
    QCOMPARE(w.platform.endCount, 1);
    QVERIFY(!w.store.isOpen());

    QFile file(w.storePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

void tst_frmGestionMessages::stateChoosesTheList() {
    TestWorld w(kNow);
    const qint64 a1 = add(w, QStringLiteral("a1"), QStringLiteral("Actif"), QStringLiteral("0"));
    const qint64 u1 = add(w, QStringLiteral("u1"), QStringLiteral("perdu"), QStringLiteral("2"));
    const qint64 d1 = add(w, QStringLiteral("d1"), QStringLiteral("affiche"), QStringLiteral("0"));
    const qint64 a2 = add(w, QStringLiteral("a2"), QStringLiteral(" ACTIF "), QStringLiteral("3"));
    const qint64 e1 = add(w, QStringLiteral("e1"), QStringLiteral("errone"), QStringLiteral("0"));
    const qint64 n1 = add(w, QStringLiteral("n1"), QString(), QStringLiteral("0"));
    const qint64 a3 = add(w, QStringLiteral("a3"), QStringLiteral("actif"), QStringLiteral("4"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());

    QCOMPARE(columnTexts(frm, ListActifs, kIdColumn), QStringList({id(a1), id(a2), id(a3)}));
    QCOMPARE(columnTexts(frm, ListErrones, kIdColumn), QStringList({id(u1), id(e1), id(n1)}));
    QCOMPARE(columnTexts(frm, ListAffiches, kIdColumn), QStringList({id(d1)}));
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_0")->text(), QStringLiteral("Nombre de messages actifs: 3"));
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_1")->text(), QStringLiteral("Nombre de messages érronés: 3"));
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_2")->text(), QStringLiteral("Nombre de messages actuellement affichés: 1"));
    // Listing never writes: the states stay as stored.
    QCOMPARE(w.count(QStringLiteral("etat = 'perdu'")), 1);
    QCOMPARE(w.count(QStringLiteral("etat IS NULL")), 1);
    QCOMPARE(w.count(), 7);
}

void tst_frmGestionMessages::rowsKeepIdOrderAndNumberingRestartsOnEveryRefresh() {
    TestWorld w(kNow);
    const qint64 z = add(w, QStringLiteral("Zèbre"), QStringLiteral("actif"), QStringLiteral("0"));
    const qint64 e = add(w, QStringLiteral("Erreur"), QStringLiteral("errone"), QStringLiteral("0"));
    const qint64 b = add(w, QStringLiteral("Banque"), QStringLiteral("actif"), QStringLiteral("2"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    QCOMPARE(columnTexts(frm, ListActifs, 0), QStringList({"1", "2"}));
    QCOMPARE(columnTexts(frm, ListActifs, 1), QStringList({"Zèbre", "Banque"}));
    QCOMPARE(columnTexts(frm, ListErrones, 0), QStringList({"1"}));

    const qint64 m = add(w, QStringLiteral("Marché"), QStringLiteral("actif"), QStringLiteral("3"));
    const qint64 a = add(w, QStringLiteral("Anniversaire"), QStringLiteral("errone"), QStringLiteral("8"));
    frm.RefreshMessageLists();
    QCOMPARE(columnTexts(frm, ListActifs, kIdColumn), QStringList({id(z), id(b), id(m)}));
    QCOMPARE(columnTexts(frm, ListActifs, 0), QStringList({"1", "2", "3"}));
    QCOMPARE(columnTexts(frm, ListErrones, kIdColumn), QStringList({id(e), id(a)}));
    QCOMPARE(columnTexts(frm, ListErrones, 0), QStringList({"1", "2"}));
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_0")->text(), QStringLiteral("Nombre de messages actifs: 3"));

    w.sql(QStringLiteral("DELETE * FROM message WHERE id = ") + id(z));
    frm.RefreshMessageLists();
    QCOMPARE(columnTexts(frm, ListActifs, kIdColumn), QStringList({id(b), id(m)}));
    QCOMPARE(columnTexts(frm, ListActifs, 0), QStringList({"1", "2"}));
    QCOMPARE(columnTexts(frm, ListActifs, 1), QStringList({"Banque", "Marché"}));
    QCOMPARE(columnTexts(frm, ListErrones, 0), QStringList({"1", "2"}));
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_0")->text(), QStringLiteral("Nombre de messages actifs: 2"));
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_1")->text(), QStringLiteral("Nombre de messages érronés: 2"));
}

void tst_frmGestionMessages::cellsShowTrimmedFieldsWithCodeAndIdHidden() {
    TestWorld w(kNow);
    const qint64 weekly =
        w.insert(QStringLiteral("  Réunion  "), QStringLiteral("  Salle 2  "), QStringLiteral(" 12/06/2026 "),
                 QStringLiteral(" 14:30 "), QStringLiteral("actif"), QStringLiteral(" 3 "),
                 QStringLiteral(" 12/06/2026 14:30 "), QStringLiteral("  31/12/2026 14:30  "));
    const qint64 once = w.insert(QStringLiteral("Dentiste"), QStringLiteral("Rendez-vous"),
                                 QStringLiteral("12/06/2026"), QStringLiteral("16:00"), QStringLiteral("actif"),
                                 QStringLiteral("0"), QStringLiteral("12/06/2026 16:00"), QString());
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());

    const QStringList first = {"1",
                               "Réunion",
                               "Salle 2",
                               "12/06/2026",
                               "14:30",
                               "Affiché toutes les semaines",
                               "12/06/2026 14:30",
                               "31/12/2026 14:30",
                               "3",
                               id(weekly)};
    const QStringList second = {
        "2", "Dentiste", "Rendez-vous", "12/06/2026", "16:00", "Affiché une seule fois", "12/06/2026 16:00",
        "",  "0",        id(once)};
    for (int c = 0; c < kListColumns; ++c) {
        QCOMPARE(cell(frm, ListActifs, 0, c), first[c]);
        QCOMPARE(cell(frm, ListActifs, 1, c), second[c]);
    }

    QTableView* grid = ctl<QTableView>(&frm, "MSFactifs");
    for (int c = 0; c < 8; ++c)
        QVERIFY2(!grid->isColumnHidden(c), qPrintable(QString::number(c)));
    QVERIFY(grid->isColumnHidden(8));
    QVERIFY(grid->isColumnHidden(9));
}

void tst_frmGestionMessages::headersAndColumnWidths() {
    TestWorld w(kNow);
    add(w, QStringLiteral("Un"), QStringLiteral("actif"), QStringLiteral("0"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    const QStringList headers = {"No",
                                 "Titre",
                                 "Texte",
                                 "Date",
                                 "Heure",
                                 "periodicité",
                                 "Prochain affichage",
                                 "Dernier affichage",
                                 "Indice periode",
                                 "id"};
    const int twipWidths[8] = {400, 1500, 2500, 1200, 1000, 2700, 1800, 1800};
    for (const char* name : {"MSFactifs", "MSFErrones", "MSFaffiches"}) {
        QTableView* grid = ctl<QTableView>(&frm, QString::fromLatin1(name));
        for (int c = 0; c < kListColumns; ++c)
            QCOMPARE(grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
        QCOMPARE(grid->columnWidth(1), 100);  // Titre: 1500 twips
        QCOMPARE(grid->columnWidth(3), 80);
        QCOMPARE(grid->columnWidth(5), 180);
        QCOMPARE(grid->columnWidth(6), 120);
        QCOMPARE(grid->columnWidth(7), 120);
        for (int c = 0; c < 8; ++c) {
            const double expected = twipWidths[c] / 15.0;
            QVERIFY2(qAbs(grid->columnWidth(c) - expected) < 1.0,
                     qPrintable(QStringLiteral("%1 %2: %3").arg(name).arg(c).arg(grid->columnWidth(c))));
        }
    }
    // Titles, texts and wordings read from the left; the others are centred; all sit at the top.
    MessageListModel* m = model(frm, ListActifs);
    const auto alignment = [m](int column) {
        return m->data(m->index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    for (int c : {1, 2, 5})
        QCOMPARE(alignment(c), Qt::AlignLeft | Qt::AlignTop);
    for (int c : {0, 3, 4, 6, 7})
        QCOMPARE(alignment(c), Qt::AlignHCenter | Qt::AlignTop);
}

void tst_frmGestionMessages::selectedMessageIdIsTheCurrentRowsId() {
    TestWorld w(kNow);
    const qint64 first = add(w, QStringLiteral("Premier"), QStringLiteral("errone"), QStringLiteral("0"));
    const qint64 second = add(w, QStringLiteral("Second"), QStringLiteral("errone"), QStringLiteral("2"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    QTableView* grid = ctl<QTableView>(&frm, "MSFErrones");
    grid->setCurrentIndex(grid->model()->index(0, 3));
    QCOMPARE(frm.SelectedMessageId(grid), id(first));
    QCOMPARE(frm.SelectedTitle, QStringLiteral("Premier"));
    grid->setCurrentIndex(grid->model()->index(1, 2));
    QCOMPARE(frm.SelectedMessageId(grid), id(second));
    QCOMPARE(frm.SelectedTitle, QStringLiteral("Second"));
    QCOMPARE(frm.SelectedMessageId(ctl<QTableView>(&frm, "MSFactifs")), QString());
}

void tst_frmGestionMessages::cellTextTakesTheSwatchColourOfItsCode() {
    TestWorld w(kNow);
    add(w, QStringLiteral("Démarrage"), QStringLiteral("actif"), QStringLiteral("9"));
    add(w, QStringLiteral("Une fois"), QStringLiteral("actif"), QStringLiteral("0"));
    add(w, QStringLiteral("Semaine"), QStringLiteral("actif"), QStringLiteral("3"));
    add(w, QStringLiteral("Lettre"), QStringLiteral("actif"), QStringLiteral("x"));
    add(w, QStringLiteral("Mois"), QStringLiteral("errone"), QStringLiteral("4"));
    // The lists alone, without the rest of the load: a message shown at every start stays as stored.
    w.openStore();
    frmGestionMessages frm(w.services(), false);
    frm.RefreshMessageLists();

    const struct {
        int list;
        int row;
        QColor colour;
        QString wording;
    } rows[] = {
        {ListActifs, 0, QColor(192, 192, 192), QStringLiteral("Affiché au démarrage")},
        {ListActifs, 1, QColor(0, 0, 0), QStringLiteral("Affiché une seule fois")},
        {ListActifs, 2, QColor(255, 192, 128), QStringLiteral("Affiché toutes les semaines")},
        {ListActifs, 3, QColor(0, 0, 0), QStringLiteral("Affiché une seule fois")},
        {ListErrones, 0, QColor(0, 192, 0), QStringLiteral("Affiché tous les mois")},
    };
    for (const auto& r : rows) {
        QCOMPARE(cell(frm, r.list, r.row, 5), r.wording);
        for (int c = 1; c < kListColumns; ++c)
            QVERIFY2(textColour(frm, r.list, r.row, c) == r.colour,
                     qPrintable(QStringLiteral("%1 column %2: %3")
                                    .arg(cell(frm, r.list, r.row, 1))
                                    .arg(c)
                                    .arg(textColour(frm, r.list, r.row, c).name())));
    }
}

void tst_frmGestionMessages::unknownCodeHasAColourOfNoSwatch() {
    TestWorld w(kNow);
    add(w, QStringLiteral("Douze"), QStringLiteral("actif"), QStringLiteral("12"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    QCOMPARE(model(frm, ListActifs)->rowCount(), 1);
    QCOMPARE(cell(frm, ListActifs, 0, 5), QStringLiteral("Périodicité inconnue"));
    QCOMPARE(cell(frm, ListActifs, 0, 8), QStringLiteral("12"));
    const QColor colour = textColour(frm, ListActifs, 0, 1);
    QVERIFY(colour.isValid());
    for (int code = 0; code < 10; ++code)
        QVERIFY2(colour != swatch(frm, code), qPrintable(QString::number(code)));
    for (int c = 2; c < kListColumns; ++c)
        QCOMPARE(textColour(frm, ListActifs, 0, c), colour);
}

void tst_frmGestionMessages::swatchesAndCaptions() {
    TestWorld w(kNow);
    frmGestionMessages frm(w.services(), false);
    const QColor colours[10] = {QColor(0, 0, 0),     QColor(255, 0, 0),    QColor(128, 128, 255), QColor(255, 192, 128),
                                QColor(0, 192, 0),   QColor(0, 255, 255),  QColor(255, 0, 255),   QColor(0, 255, 0),
                                QColor(255, 255, 0), QColor(192, 192, 192)};
    const QStringList captions = {"1 fois",    "Horaire",    "Journalier", "Hebdomadaire", "Mensuel",
                                  "Bimensuel", "Trimensuel", "Semestriel", "Annuel",       "Démarrage"};
    for (int code = 0; code < 10; ++code) {
        QCOMPARE(swatch(frm, code), colours[code]);
        QCOMPARE(ctl<QLabel>(&frm, QStringLiteral("Label2_%1").arg(code))->text(), captions[code]);
    }
    QCOMPARE(ctl<QLabel>(&frm, "Label2_10")->text(), QStringLiteral("Légende des couleurs"));
    QCOMPARE(ctl<QLabel>(&frm, "Label2_11")->text(), QStringLiteral("Couleur d'affichage"));
    QCOMPARE(ctl<QLabel>(&frm, "Label2_12")->text(), QStringLiteral("Fréquence d'affichage du message"));
}

void tst_frmGestionMessages::selectingACellPointsTheLegendArrow() {
    TestWorld w(kNow);
    add(w, QStringLiteral("Semaine"), QStringLiteral("actif"), QStringLiteral("3"));
    add(w, QStringLiteral("Douze"), QStringLiteral("actif"), QStringLiteral("12"));
    add(w, QStringLiteral("Une fois"), QStringLiteral("actif"), QStringLiteral("0"));
    add(w, QStringLiteral("Démarrage"), QStringLiteral("actif"), QStringLiteral("9"));
    w.openStore();
    frmGestionMessages frm(w.services(), false);
    frm.ShowLegend(true);
    frm.RefreshMessageLists();
    QTableView* grid = ctl<QTableView>(&frm, "MSFactifs");
    QLabel* arrow = ctl<QLabel>(&frm, "imgFleche");
    QFrame* line = ctl<QFrame>(&frm, "LinLegende");

    grid->setCurrentIndex(grid->model()->index(0, 2));
    QVERIFY(!arrow->isHidden());
    QVERIFY(!line->isHidden());
    QCOMPARE(arrow->y(), ctl<QLabel>(&frm, "lblCouleur_3")->y());

    // A code with no swatch: the arrow points nowhere and hides.
    grid->setCurrentIndex(grid->model()->index(1, 1));
    QVERIFY(arrow->isHidden());
    QVERIFY(line->isHidden());

    grid->setCurrentIndex(grid->model()->index(2, 4));
    QVERIFY(!arrow->isHidden());
    QCOMPARE(arrow->y(), ctl<QLabel>(&frm, "lblCouleur_0")->y());

    grid->setCurrentIndex(grid->model()->index(3, 5));
    QVERIFY(!arrow->isHidden());
    QCOMPARE(arrow->y(), ctl<QLabel>(&frm, "lblCouleur_9")->y());
    QVERIFY(ctl<QLabel>(&frm, "lblCouleur_9")->y() != ctl<QLabel>(&frm, "lblCouleur_0")->y());
}

void tst_frmGestionMessages::legendButtonHidesAndShowsTheLegend() {
    TestWorld w(kNow);
    w.settingsStore->set(kParametres, QStringLiteral("legende"), QStringLiteral("1"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    showAndExpose(frm);
    QPushButton* button = ctl<QPushButton>(&frm, "cmdLegende");
    QCOMPARE(frm.width(), 660);  // 9900 twips
    QCOMPARE(button->text(), QStringLiteral("<<<"));

    frm.ShowLegend(false);
    QCOMPARE(frm.width(), 525);  // 7870 twips
    QCOMPARE(button->text(), QStringLiteral(">>>"));
    QCOMPARE(button->toolTip(), QStringLiteral("Afficher la légende des couleurs des messages"));
    QCOMPARE(w.settingsStore->get(kParametres, QStringLiteral("legende")), QStringLiteral("0"));

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(frm.width(), 660);
    QCOMPARE(button->text(), QStringLiteral("<<<"));
    QCOMPARE(button->toolTip(), QStringLiteral("Cacher la légende des couleurs des messages"));
    QCOMPARE(w.settingsStore->get(kParametres, QStringLiteral("legende")), QStringLiteral("1"));

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(frm.width(), 525);
    QCOMPARE(button->text(), QStringLiteral(">>>"));
    QCOMPARE(w.settingsStore->get(kParametres, QStringLiteral("legende")), QStringLiteral("0"));
}

void tst_frmGestionMessages::loadFollowsTheLegendSetting_data() {
    QTest::addColumn<QString>("legende");
    QTest::addColumn<bool>("shown");
    QTest::newRow("hidden") << QStringLiteral("0") << false;
    QTest::newRow("shown") << QStringLiteral("1") << true;
}

void tst_frmGestionMessages::loadFollowsTheLegendSetting() {
    QFETCH(QString, legende);
    QFETCH(bool, shown);
    TestWorld w(kNow);
    w.settingsStore->set(kParametres, QStringLiteral("legende"), legende);
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    QCOMPARE(frm.width(), shown ? 660 : 525);
    QCOMPARE(ctl<QPushButton>(&frm, "cmdLegende")->text(), shown ? QStringLiteral("<<<") : QStringLiteral(">>>"));
    QCOMPARE(ctl<QFrame>(&frm, "picLegende")->isHidden(), !shown);
    QCOMPARE(w.settingsStore->get(kParametres, QStringLiteral("legende")), legende);
}

void tst_frmGestionMessages::tabShowsItsListAndRefreshKeepsIt() {
    TestWorld w(kNow);
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    showAndExpose(frm);
    QTabBar* tabs = ctl<QTabBar>(&frm, "TabStrip1");
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Messages actifs"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Messages érronés"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Messages actuellement affichés"));

    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(frm.CurrentList, 1);
    QVERIFY(!ctl<QFrame>(&frm, "CadreMSF_0")->isVisible());
    QVERIFY(ctl<QFrame>(&frm, "CadreMSF_1")->isVisible());
    QVERIFY(!ctl<QFrame>(&frm, "CadreMSF_2")->isVisible());
    QVERIFY(ctl<QTableView>(&frm, "MSFErrones")->isVisible());

    add(w, QStringLiteral("Erreur"), QStringLiteral("errone"), QStringLiteral("0"));
    frm.RefreshMessageLists();
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(frm.CurrentList, 1);
    QVERIFY(ctl<QFrame>(&frm, "CadreMSF_1")->isVisible());
    QVERIFY(!ctl<QFrame>(&frm, "CadreMSF_0")->isVisible());
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_1")->text(), QStringLiteral("Nombre de messages érronés: 1"));

    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(2).center());
    QCOMPARE(frm.CurrentList, 2);
    QVERIFY(ctl<QFrame>(&frm, "CadreMSF_2")->isVisible());
    QVERIFY(!ctl<QFrame>(&frm, "CadreMSF_1")->isVisible());
}

void tst_frmGestionMessages::mouseMoveOverTheLegendWritesTheSwatchColour() {
    TestWorld w(kNow);
    w.settingsStore->set(kParametres, QStringLiteral("legende"), QStringLiteral("1"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    showAndExpose(frm);

    moveOver(ctl<QLabel>(&frm, "lblCouleur_4"));
    QCOMPARE(hint(frm), QStringLiteral("Couleur du message affiché tous les mois [couleur: &HC000&]"));
    moveOver(ctl<QLabel>(&frm, "lblCouleur_1"));
    QCOMPARE(hint(frm), QStringLiteral("Couleur du message affiché toutes les heures [couleur: &HFF&]"));
    moveOver(ctl<QLabel>(&frm, "lblCouleur_0"));
    QCOMPARE(hint(frm), QStringLiteral("Couleur du message affiché une fois [couleur: &H0&]"));
    // A caption gives its swatch's hint; blue is the high byte. A heading changes nothing.
    moveOver(ctl<QLabel>(&frm, "Label2_3"));
    QCOMPARE(hint(frm), QStringLiteral("Couleur du message affiché toutes les semaines [couleur: &H80C0FF&]"));
    moveOver(ctl<QLabel>(&frm, "Label2_10"));
    QCOMPARE(hint(frm), QStringLiteral("Couleur du message affiché toutes les semaines [couleur: &H80C0FF&]"));
    QLabel* arrow = ctl<QLabel>(&frm, "imgFleche");
    arrow->show();
    moveOver(arrow);
    QCOMPARE(hint(frm), QStringLiteral("Indicateur de couleur du message sélectionné"));

    // The real mouse, through the window system.
    QTest::mouseMove(ctl<QLabel>(&frm, "lblCouleur_4"));
    QCOMPARE(hint(frm), QStringLiteral("Couleur du message affiché tous les mois [couleur: &HC000&]"));
}

void tst_frmGestionMessages::mouseMoveOverListsAndStatusBarWritesHints() {
    TestWorld w(kNow);
    w.settingsStore->set(kParametres, QStringLiteral("legende"), QStringLiteral("1"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    showAndExpose(frm);

    QTabBar* tabs = ctl<QTabBar>(&frm, "TabStrip1");
    moveOver(tabs);
    QCOMPARE(hint(frm), QStringLiteral("Affichage de la liste des messages actifs"));
    tabs->setCurrentIndex(2);
    QCOMPARE(frm.CurrentList, 2);
    moveOver(tabs);
    QCOMPARE(hint(frm), QStringLiteral("Affichage de la liste des messages actuellement affichés"));
    QTest::mouseMove(tabs, tabs->tabRect(0).center());
    QCOMPARE(hint(frm), QStringLiteral("Affichage de la liste des messages actuellement affichés"));

    moveOver(ctl<QTableView>(&frm, "MSFaffiches")->viewport());
    QCOMPARE(hint(frm), QStringLiteral("Liste des messages actuellement affichés"));
    moveOver(ctl<QLabel>(&frm, "lblNombre_2"));
    QCOMPARE(hint(frm), QStringLiteral("Nombre de messages actuellement affichés: 0"));
    moveOver(ctl<QPushButton>(&frm, "cmdLegende"));
    QCOMPARE(hint(frm), QStringLiteral("Cacher la légende des couleurs des messages"));
    moveOver(ctl<QFrame>(&frm, "picLegende"), QPoint(2, 2));
    QCOMPARE(hint(frm), QStringLiteral("Légende des couleurs des messages"));

    QStatusBar* bar = ctl<QStatusBar>(&frm, "StatusBar1");
    moveOver(bar, QPoint(10, 5));
    QCOMPARE(hint(frm), QStringLiteral("Affichage d'informations d'aide"));
    moveOver(bar, QPoint(400, 5));  // 6000 twips
    QCOMPARE(hint(frm), QStringLiteral("Affichage de la date actuelle"));
    moveOver(bar, QPoint(460, 5));  // 6900 twips
    QCOMPARE(hint(frm), QStringLiteral("Affichage de la heure actuelle"));
}

void tst_frmGestionMessages::quitQuestionWarnsOfMessagesNotDisplayed_data() {
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("displayed");
    QTest::addColumn<QString>("warning");
    QTest::newRow("none") << 0 << 0 << QString();
    QTest::newRow("3 active, 1 displayed")
        << 3 << 1
        << QStringLiteral(
               "\n\nAttention:\nIl existe des messages actifs à afficher [3 message(s)]\n"
               "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.\n"
               "De plus, 1 message est actuellement affiché.\n"
               "Celui-ci ne sera plus affiché si vous quittez le programme.");
    QTest::newRow("2 active, 3 displayed")
        << 2 << 3
        << QStringLiteral(
               "\n\nAttention:\nIl existe des messages actifs à afficher [2 message(s)]\n"
               "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.\n"
               "De plus, 3 messages sont actuellement affichés.\n"
               "Ceux-ci ne seront plus affichés si vous quittez le programme.");
    QTest::newRow("1 active") << 1 << 0
                              << QStringLiteral(
                                     "\n\nAttention:\nIl existe des messages actifs à afficher [1 message(s)]\n"
                                     "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.");
    QTest::newRow("1 displayed") << 0 << 1
                                 << QStringLiteral(
                                        "\n\nAttention:\nIl existe un message actuellement affiché.\n"
                                        "Celui-ci ne sera plus affiché si vous quittez le programme.");
    QTest::newRow("2 displayed") << 0 << 2
                                 << QStringLiteral(
                                        "\n\nAttention:\nIl existe des messages actuellement affichés [2 messages]\n"
                                        "Ceux-ci ne seront plus affichés si vous quittez le programme.");
}

void tst_frmGestionMessages::quitQuestionWarnsOfMessagesNotDisplayed() {
    QFETCH(int, active);
    QFETCH(int, displayed);
    QFETCH(QString, warning);
    TestWorld w(kNow);
    for (int i = 0; i < active; ++i)
        add(w, QStringLiteral("Actif %1").arg(i), QStringLiteral("actif"), QStringLiteral("0"));
    for (int i = 0; i < displayed; ++i)
        add(w, QStringLiteral("Affiché %1").arg(i), QStringLiteral("affiche"), QStringLiteral("0"));
    // Erroneous messages are never displayed again: they take no part in the warning.
    add(w, QStringLiteral("Erreur"), QStringLiteral("errone"), QStringLiteral("0"));
    w.settingsStore->set(kParametres, QStringLiteral("fin programme"), QStringLiteral("1"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());

    w.dialogs.expect(Icon::Question, kQuestion + warning, Answer::Yes);
    frm.mnuQuitter_Click();
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.dialogs.shown.size(), size_t(1));
    QCOMPARE(w.dialogs.shown[0].buttons, Buttons::YesNo);
    QCOMPARE(w.platform.endCount, 1);
    QVERIFY(!w.store.isOpen());
    // Quitting writes nothing: the displayed messages stay displayed.
    QCOMPARE(w.count(QStringLiteral("etat = 'affiche'")), displayed);
    QCOMPARE(w.count(), active + displayed + 1);
}

void tst_frmGestionMessages::answeringNoKeepsTheProgramRunning() {
    TestWorld w(kNow);
    add(w, QStringLiteral("Actif"), QStringLiteral("actif"), QStringLiteral("0"));
    w.settingsStore->set(kParametres, QStringLiteral("fin programme"), QStringLiteral("1"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    const QString question =
        kQuestion + QStringLiteral(
                        "\n\nAttention:\nIl existe des messages actifs à afficher [1 message(s)]\n"
                        "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.");

    w.dialogs.expect(Icon::Question, question, Answer::No);
    QVERIFY(!frm.QuitProgram(true));
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.platform.endCount, 0);
    QVERIFY(w.store.isOpen());
    QVERIFY(ctl<QTimer>(&frm, "Timer2")->isActive());

    w.dialogs.expect(Icon::Question, question, Answer::No);
    frm.mnuQuitter_Click();
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.platform.endCount, 0);
    QVERIFY(w.store.isOpen());

    // The program goes on: the lists still read the store.
    add(w, QStringLiteral("Encore"), QStringLiteral("actif"), QStringLiteral("0"));
    frm.RefreshMessageLists();
    QCOMPARE(ctl<QLabel>(&frm, "lblNombre_0")->text(), QStringLiteral("Nombre de messages actifs: 2"));

    w.dialogs.expect(Icon::Question,
                     kQuestion + QStringLiteral("\n\nAttention:\nIl existe des messages actifs à afficher [2 "
                                                "message(s)]\nCeux-ci ne pourront pas s'afficher tant que le "
                                                "programme ne sera pas démarré."),
                     Answer::Yes);
    QVERIFY(frm.QuitProgram(true));
    QCOMPARE(w.platform.endCount, 1);
    QVERIFY(!w.store.isOpen());
}

void tst_frmGestionMessages::quitWithoutConfirmationAsksNothing_data() {
    QTest::addColumn<QString>("finProgramme");
    QTest::newRow("0") << QStringLiteral("0");
    QTest::newRow("empty") << QString();
}

void tst_frmGestionMessages::quitWithoutConfirmationAsksNothing() {
    QFETCH(QString, finProgramme);
    TestWorld w(kNow);
    add(w, QStringLiteral("Actif"), QStringLiteral("actif"), QStringLiteral("0"));
    add(w, QStringLiteral("Affiché"), QStringLiteral("affiche"), QStringLiteral("0"));
    if (!finProgramme.isNull())
        w.settingsStore->set(kParametres, QStringLiteral("fin programme"), finProgramme);
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    frm.mnuQuitter_Click();
    QVERIFY(w.dialogs.shown.empty());
    QCOMPARE(w.platform.endCount, 1);
    QVERIFY(!w.store.isOpen());
}

void tst_frmGestionMessages::closeRequestRunsTheQuit() {
    TestWorld w(kNow);
    add(w, QStringLiteral("Affiché"), QStringLiteral("affiche"), QStringLiteral("0"));
    w.settingsStore->set(kParametres, QStringLiteral("fin programme"), QStringLiteral("1"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    showAndExpose(frm);
    const QString question = kQuestion + QStringLiteral(
                                             "\n\nAttention:\nIl existe un message actuellement affiché.\n"
                                             "Celui-ci ne sera plus affiché si vous quittez le programme.");

    w.dialogs.expect(Icon::Question, question, Answer::No);
    QVERIFY(!frm.close());
    QVERIFY(w.dialogs.allAnswered());
    QVERIFY(frm.isVisible());
    QCOMPARE(w.platform.endCount, 0);
    QVERIFY(w.store.isOpen());

    w.dialogs.expect(Icon::Question, question, Answer::Yes);
    frm.close();
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.platform.endCount, 1);
    QVERIFY(!w.store.isOpen());
}

void tst_frmGestionMessages::escapeRunsTheQuit() {
    TestWorld w(kNow);
    w.settingsStore->set(kParametres, QStringLiteral("fin programme"), QStringLiteral("1"));
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    showAndExpose(frm);
    frm.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frm));

    w.dialogs.expect(Icon::Question, kQuestion, Answer::No);
    QTest::keyClick(&frm, Qt::Key_Escape);
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.dialogs.shown.size(), size_t(1));
    QCOMPARE(w.platform.endCount, 0);
    QVERIFY(frm.isVisible());

    w.dialogs.expect(Icon::Question, kQuestion, Answer::Yes);
    QTest::keyClick(&frm, Qt::Key_Escape);
    QVERIFY(w.dialogs.allAnswered());
    QCOMPARE(w.platform.endCount, 1);
    QVERIFY(!w.store.isOpen());
}

void tst_frmGestionMessages::minimisingHidesTheWindow() {
    TestWorld w(kNow);
    frmGestionMessages frm(w.services(), false);
    QVERIFY(frm.Form_Load());
    showAndExpose(frm);
    frm.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QVERIFY(!frm.isVisible());
    QVERIFY(!(frm.windowState() & Qt::WindowMinimized));
    QCOMPARE(w.platform.endCount, 0);
    QVERIFY(w.store.isOpen());
}

QTEST_MAIN(tst_frmGestionMessages)
#include "tst_frmgestionmessages.moc"
