#include "frmHeure.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/TextRules.h"
#include "common/WindowHelpers.h"
#include "common/WindowKeys.h"

namespace tavanote {

namespace {

// The number a text starts with, sign included; no digit gives 0.
qint64 leadingValue(const QString& text) {
    const QString trimmed = trimBlanks(text);
    if (trimmed.startsWith(QLatin1Char('-')))
        return -leadingNumber(trimmed.mid(1));
    if (trimmed.startsWith(QLatin1Char('+')))
        return leadingNumber(trimmed.mid(1));
    return leadingNumber(trimmed);
}

// A whole number written with two digits at least (7 gives 07); any other text unchanged.
QString atLeastTwoDigits(const QString& text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok)
        return text;
    const QString digits = QStringLiteral("%1").arg(qAbs(value), 2, 10, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QStringList numbers(int count) {
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    return items;
}

}  // namespace

frmHeure::frmHeure(Services& services, WindowHost& host, QLineEdit* timeField, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_timeField(timeField) {
    setObjectName(QStringLiteral("frmHeure"));
    setWindowTitle(QStringLiteral("Heure"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips(1590), twips(1380));

    const char* const captions[2] = {"Heure:", "Minute:"};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(QString::fromLatin1(captions[i]), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setGeometry(8 + i * 48, 6, 44, 16);
        Label1[static_cast<size_t>(i)] = label;
    }
    auto makeList = [this](const char* name, const QString& toolTip, int left) {
        auto* list = new QComboBox(this);
        list->setObjectName(QString::fromLatin1(name));
        list->setToolTip(toolTip);
        list->setEditable(true);
        // Typed text is a value to check, never a new entry, and is not completed from the list.
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
        list->setCursor(Qt::PointingHandCursor);
        list->setGeometry(left, 22, 44, 22);
        // Keys reach the list itself, which hands them to its text field: the typing rule watches the list.
        list->installEventFilter(this);
        return list;
    };
    cboHeure = makeList("cboHeure", QStringLiteral("Heure sélectionnée"), 8);
    cboMinute = makeList("cboMinute", QStringLiteral("Minute sélectionnée"), 56);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(4, 52, width() - 8, 1);
    Line2 = new QFrame(this);
    Line2->setObjectName(QStringLiteral("Line2"));
    Line2->setGeometry(4, 53, width() - 8, 1);
    const std::pair<QFrame*, QColor> lines[] = {{Line1, QColor(128, 128, 128)}, {Line2, QColor(255, 255, 255)}};
    for (const auto& [line, colour] : lines) {
        QPalette ink = line->palette();
        ink.setColor(QPalette::Window, colour);
        line->setPalette(ink);
        line->setAutoFillBackground(true);
    }

    auto* button = new QPushButton(QStringLiteral("&Insérer"), this);
    button->setObjectName(QStringLiteral("Bouton_0"));
    button->setToolTip(QStringLiteral("Valider l'heure"));
    button->setCursor(Qt::PointingHandCursor);
    button->setDefault(true);
    button->setGeometry(13, 60, 80, 24);
    connect(button, &QPushButton::clicked, this, &frmHeure::ReturnTime);
    Bouton[0] = button;

    // Enter inserts; Esc leaves without writing (the close box does the same, and Insérer is one key away).
    installWindowKeys(this, {&m_services.help, HelpContext::Time, &host, [this](QKeyEvent* key) {
                                 if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
                                     return false;
                                 Bouton[0]->click();
                                 return true;
                             }});
}

void frmHeure::Form_Load() {
    const QTime now = m_services.clock.now().time();
    cboHeure->clear();
    cboHeure->addItems(numbers(24));
    cboHeure->setCurrentIndex(now.hour());
    cboMinute->clear();
    cboMinute->addItems(numbers(60));
    cboMinute->setCurrentIndex(now.minute());
    SetTopMost(this, true);
}

void frmHeure::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The hour is selected, as on entering a list with Tab: typing replaces it.
    cboHeure->setFocus(Qt::TabFocusReason);
    cboHeure->lineEdit()->selectAll();
}

void frmHeure::ReturnTime() {
    if (!checkList(cboHeure, 23, QStringLiteral("L'heure du message doit être saisie."),
                   QStringLiteral("L'heure du message doit être comprise entre 00 et 23.")))
        return;
    if (!checkList(cboMinute, 59, QStringLiteral("Les minutes du message doit être saisie."),
                   QStringLiteral("Les minutes du message doit être comprise entre 00 et 59.")))
        return;
    if (m_timeField)
        m_timeField->setText(cboHeure->currentText() + QLatin1Char(':') + cboMinute->currentText());
    close();
}

bool frmHeure::checkList(QComboBox* list, int highest, const QString& emptyText, const QString& rangeText) {
    const QString text = trimBlanks(list->currentText());
    list->setEditText(text);
    if (text.isEmpty()) {
        tell(emptyText);
        list->setFocus();
        return false;
    }
    list->setEditText(atLeastTwoDigits(text));
    const qint64 value = leadingValue(list->currentText());
    if (value < 0 || value > highest) {
        tell(rangeText);
        list->setFocus();
        list->lineEdit()->selectAll();
        return false;
    }
    return true;
}

void frmHeure::tell(const QString& text) {
    m_services.dialogs.message(this, text, Icon::Information, Buttons::Ok);
}

bool frmHeure::refuseKey(QLineEdit* edit, const QKeyEvent* key) {
    // Keys that type nothing, or that move, leave or confirm, are not typing.
    switch (key->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Delete:
            return false;
        default:
            break;
    }
    const QString typed = key->text();
    if (typed.isEmpty())
        return false;
    bool refused = false;
    const QChar c = typed.at(0);
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
        m_services.platform.beep();
        refused = true;
    }
    if (edit->text().length() >= 2 && !edit->hasSelectedText())
        refused = true;
    return refused;
}

bool frmHeure::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        for (QComboBox* list : {cboHeure, cboMinute}) {
            if (watched == list && refuseKey(list->lineEdit(), static_cast<QKeyEvent*>(event)))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmHeure::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
}

}  // namespace tavanote
