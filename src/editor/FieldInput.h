#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
class QWidget;

namespace tavanote {

class Dialogs;
class Platform;

// Shows the fault of a field in a box, then gives the field the focus; with selectText, a line edit's text is
// selected from the caret on, so that the user types over it.
void showFieldFault(Dialogs& dialogs, QWidget* field, const QString& text, bool selectText);

// Filters the keys typed in a date ("/") or time (":") field.
class DateTimeKeyFilter : public QObject {
    Q_OBJECT
public:
    enum Kind { Date, Time };
    DateTimeKeyFilter(Kind kind, Platform& platform, QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Kind m_kind;
    Platform& m_platform;
};

}  // namespace tavanote
