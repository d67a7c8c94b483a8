// The real box around a long list (10,000 titles): it fits the screen, its question and buttons are on it, and
// the list scrolls.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/Application.h"
#include "common/RealServices.h"

using namespace tavanote;

class tst_ListMessage : public QObject {
    Q_OBJECT
private slots:
    void longListScrolls() {
        QVERIFY(installFrenchTranslations());
        QStringList titles;
        for (int i = 1; i <= 10000; ++i)
            titles << QStringLiteral("Titre %1").arg(i);
        QRect screen;
        QRect box;
        QStringList shown;  // visible labels and buttons, within the box
        int listed = 0;
        bool scrolls = false;
        QTimer reader;
        connect(&reader, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            reader.stop();
            screen = dialog->screen()->availableGeometry();
            box = dialog->frameGeometry();
            for (QWidget* child : dialog->findChildren<QWidget*>()) {
                const QRect at(child->mapTo(dialog, QPoint(0, 0)), child->size());
                QString text = child->property("text").toString();
                if (child->isVisible() && !text.isEmpty() && dialog->rect().contains(at))
                    shown << text.remove(QLatin1Char('&'));
            }
            if (auto* list = dialog->findChild<QPlainTextEdit*>()) {
                listed = list->document()->blockCount();
                scrolls = list->verticalScrollBar()->maximum() > 0;
            }
            for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                if (button->text().remove(QLatin1Char('&')) == QLatin1String("Oui"))
                    button->click();
        });
        reader.start(10);
        QtDialogs dialogs;
        QCOMPARE(dialogs.listMessage(nullptr, QStringLiteral("Avant:\n\n"), titles.join('\n') + '\n',
                                     QStringLiteral("\nOn continue ?"), Icon::Question, Buttons::YesNo),
                 Answer::Yes);
        QVERIFY2(screen.contains(box), qPrintable(QStringLiteral("%1 in %2").arg(box.height()).arg(screen.height())));
        shown.sort();
        QCOMPARE(shown, QStringList({"Avant:", "Non", "On continue ?", "Oui"}));
        QCOMPARE(listed, 10000);
        QVERIFY(scrolls);
    }
};

QTEST_MAIN(tst_ListMessage)
#include "tst_listmessage.moc"
