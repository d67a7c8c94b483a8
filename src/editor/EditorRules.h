#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tavanote {

// The editor's fields as they are written.
struct EditorFields {
    QString titre;
    QString texte;
    QString date;
    QString heure;
    QString dateFin;
    int code = 0;  // the periodicity: the index of the chosen entry
};

// The ten periodicity choices, in code order.
const QStringList& periodicityChoices();

// The units between the second display and the end date (taken at midnight), in the unit of the code's step:
// hours, days, weeks (Sunday to Sunday), months or years; negative when the end comes first.
qint64 repeatCount(int code, const QDateTime& firstDisplay, const QDate& endDate);
// The step's number of units: at or below it, the message would hardly show more than once.
int repeatThreshold(int code);

QString insertStatement(const EditorFields& fields);
QString updateStatement(const EditorFields& fields, qint64 id);

}  // namespace tavanote
