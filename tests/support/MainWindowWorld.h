#pragma once

#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <memory>

#include "main_window/MessageListModel.h"
#include "main_window/frmGestionMessages.h"
#include "support/TestWorld.h"

namespace tavanote::test {

// The main window on a test world, and the steps of a user's scenario with it.
struct MainWindowWorld : TestWorld {
    using TestWorld::TestWorld;

    // Loads the main window (on other services when given), shown when asked; a failed load fails the test.
    void load(bool show = false, Services* with = nullptr) {
        frm = std::make_unique<frmGestionMessages>(with ? *with : services(), false);
        if (!frm->Form_Load())
            QTest::qFail("the main window did not load", __FILE__, __LINE__);
        QTRY_VERIFY(!frm->openingNotes());
        if (show && (frm->show(), !QTest::qWaitForWindowExposed(frm.get())))
            QTest::qFail("the main window is not exposed", __FILE__, __LINE__);
    }
    // One message due at due ("dd/mm/yyyy hh:mm", ahead of the test clock by default); a periodic one ends on
    // 30/06/2026. Returns its id.
    qint64 add(const QString& titre, const QString& etat, const QString& code = QStringLiteral("0"),
               const QString& due = QStringLiteral("12/06/2026 10:00")) {
        const QString end = code == QLatin1String("0") ? QString("") : "30/06/2026 " + due.mid(11);
        return insert(titre, "Texte de " + titre, due.left(10), due.mid(11), etat, code, due, end);
    }
    void set(const QString& key, const QString& value) { settingsStore->set(kParametres, key, value); }
    void showList(int list) { ctl<QTabBar>(frm.get(), QStringLiteral("TabStrip1"))->setCurrentIndex(list); }
    void select(int list, int row) { frm->grid(list)->setCurrentIndex(frm->listModel(list)->index(row, 1)); }
    void ctrl(Qt::Key key) { QTest::keyClick(frm.get(), key, Qt::ControlModifier); }

    std::unique_ptr<frmGestionMessages> frm;
};

}  // namespace tavanote::test
