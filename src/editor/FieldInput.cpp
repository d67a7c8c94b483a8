#include "FieldInput.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "common/Services.h"
#include "editor/DateFields.h"

namespace tavanote {

void showFieldFault(Dialogs& dialogs, QWidget* field, const QString& text, bool selectText) {
    dialogs.message(field ? field->window() : nullptr, text, Icon::Information, Buttons::Ok);
    if (!field)
        return;
    if (auto* line = qobject_cast<QLineEdit*>(field); line && selectText) {
        const int start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        line->setSelection(start, static_cast<int>(line->text().size()));
    }
    field->setFocus();
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
