#include "FieldChecks.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "common/Services.h"
#include "common/TextRules.h"
#include "editor/DateFields.h"

namespace tavanote {

QString CheckContext;

namespace {

void setContext(const QLineEdit* field) {
    if (!field)
        return;
    const QString name = field->objectName();
    if (name == QLatin1String("txtDate"))
        CheckContext = QStringLiteral("pour la date d'affichage du message.");
    else if (name == QLatin1String("txtDateFin"))
        CheckContext = QStringLiteral("pour la date de fin d'affichage du message.");
    else if (name == QLatin1String("txtHeure"))
        CheckContext = QStringLiteral("pour l'heure d'affichage du message.");
}

bool fail(Dialogs& dialogs, QLineEdit* field, bool showMessages, const QString& text) {
    if (!showMessages)
        return false;
    dialogs.message(field ? field->window() : nullptr, text + CheckContext, Icon::Information, Buttons::Ok);
    if (field) {
        const int start = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
        field->setSelection(start, static_cast<int>(field->text().size()));
        field->setFocus();
    }
    return false;
}

}  // namespace

bool CheckDateText(Dialogs& dialogs, QString& text, QLineEdit* field, bool showMessages) {
    text = trimBlanks(text);
    if (text.isEmpty())
        return false;
    setContext(field);
    if (isDateText(text))
        return true;
    return fail(dialogs, field, showMessages,
                QStringLiteral("Vous devez spécifier une date valide au format JJ/MM/AAAA "));
}

bool CheckTimeText(Dialogs& dialogs, QString& text, QLineEdit* field, bool showMessages) {
    text = trimBlanks(text);
    if (text.isEmpty())
        return false;
    setContext(field);
    if (isTimeText(text))
        return true;
    return fail(dialogs, field, showMessages, QStringLiteral("Vous devez spécifier une heure valide au format HH:MM "));
}

DateTimeKeyFilter::DateTimeKeyFilter(Kind kind, Platform& platform, QLineEdit* field)
    : QObject(field), m_kind(kind), m_platform(platform) {
    field->installEventFilter(this);
}

bool DateTimeKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Keys that type nothing (arrows, Delete, function keys) are the field's own.
    if (key->text().isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
        key->key() == Qt::Key_Backtab)
        return false;
    auto* field = static_cast<QLineEdit*>(watched);
    const QChar typed = key->key() == Qt::Key_Backspace ? QChar(8) : key->text().at(0);
    const KeyFilterResult result = m_kind == Date ? filterDateKey(typed, field->text(), field->cursorPosition())
                                                  : filterTimeKey(typed, field->text(), field->cursorPosition());
    if (result.pass)
        return false;
    if (result.beep)
        m_platform.beep();
    if (result.changed && result.text.size() <= field->maxLength()) {
        field->setText(result.text);
        field->setCursorPosition(result.cursor);
    }
    return true;
}

}  // namespace tavanote
