// Qt's own buttons and dialogs speak French.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/Application.h"
#include "common/RealServices.h"

using namespace tavanote;

class tst_French : public QObject {
    Q_OBJECT
private slots:
    // A real question box, read and then answered No by a click while it is open.
    void questionBoxSaysOuiAndNon() {
        QVERIFY(installFrenchTranslations());
        QStringList captions;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton* button : box->buttons())
                captions << button->text().remove(QLatin1Char('&'));
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        });
        // Closed all the same should the click above not have reached it.
        QTimer::singleShot(10000, this, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        QtDialogs boxes;
        Dialogs& dialogs = boxes;
        QCOMPARE(dialogs.message(nullptr, QStringLiteral("Continuer ?"), Icon::Question, Buttons::YesNo), Answer::No);
        captions.sort();
        QCOMPARE(captions, QStringList({"Non", "Oui"}));
    }
};

QTEST_MAIN(tst_French)
#include "tst_french.moc"
