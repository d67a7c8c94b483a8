// The program's real message box: user text shown exactly as typed, never read as markup, and Qt's own
// buttons in French.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/Application.h"
#include "common/RealServices.h"

using namespace tavanote;

class tst_QtDialogs : public QObject {
    Q_OBJECT
private slots:
    void userTextShowsAsTypedWithFrenchButtons() {
        QVERIFY(installFrenchTranslations());
        const QString text = QStringLiteral("Le message <b>Rappel</b> urgent [*]\n\na été supprimé.");
        QString title;
        Qt::TextFormat format = Qt::AutoText;
        QString shown;
        int lines = 0;
        QStringList captions;
        // Reads the box once it is open, then answers No, as a user's click would; the box never stays open.
        QTimer reader;
        connect(&reader, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            reader.stop();
            title = box->windowTitle();
            if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                format = label->textFormat();
                shown = label->text();
                lines = label->sizeHint().height() / label->fontMetrics().lineSpacing();
            }
            for (QAbstractButton* button : box->buttons())
                captions << button->text().remove(QLatin1Char('&'));
            box->button(QMessageBox::No)->click();
        });
        reader.start(10);
        QtDialogs dialogs;
        QCOMPARE(
            dialogs.message(nullptr, text, Icon::Information, Buttons::YesNo, QStringLiteral("Tavanote"), Answer::No),
            Answer::No);
        QCOMPARE(title, QStringLiteral("Tavanote"));
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, text);
        QCOMPARE(lines, 3);  // both line breaks kept
        captions.sort();
        QCOMPARE(captions, QStringList({"Non", "Oui"}));
    }
};

QTEST_MAIN(tst_QtDialogs)
#include "tst_qtdialogs.moc"
