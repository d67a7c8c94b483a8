#include "EditorRules.h"

#include "common/TextRules.h"
#include "scheduling/Schedule.h"

namespace tavanote {

const QStringList& periodicityChoices() {
    static const QStringList choices = {
        QStringLiteral("Afficher le message une seule fois"),
        QStringLiteral("Afficher le message toutes les heures"),
        QStringLiteral("Afficher le message tous les jours"),
        QStringLiteral("Afficher le message toutes les semaines"),
        QStringLiteral("Afficher le message tous les mois"),
        QStringLiteral("Afficher le message tous les bimestres"),
        QStringLiteral("Afficher le message tous les trimestres"),
        QStringLiteral("Afficher le message tous les semestres"),
        QStringLiteral("Afficher le message tous les ans"),
        QStringLiteral("Afficher le message au démarrage du programme"),
    };
    return choices;
}

namespace {

// Weeks counted from Sunday: julian day 0 was a Monday.
qint64 sundayWeek(const QDate& date) {
    const qint64 day = date.toJulianDay() + 1;
    return day >= 0 ? day / 7 : (day - 6) / 7;
}

}  // namespace

qint64 repeatCount(int code, const QDateTime& firstDisplay, const QDate& endDate) {
    const QDateTime second = addStep(code, firstDisplay);
    const QDate secondDate = second.date();
    switch (code) {
        case 1:
            return endDate.toJulianDay() * 24 - (secondDate.toJulianDay() * 24 + second.time().hour());
        case 2:
            return secondDate.daysTo(endDate);
        case 3:
            return sundayWeek(endDate) - sundayWeek(secondDate);
        case 4:
        case 5:
        case 6:
        case 7:
            return (static_cast<qint64>(endDate.year()) * 12 + endDate.month()) -
                   (static_cast<qint64>(secondDate.year()) * 12 + secondDate.month());
        case 8:
            return endDate.year() - secondDate.year();
        default:
            return 0;
    }
}

int repeatThreshold(int code) {
    // Two, three and six months for the calendar steps of that many months; one unit for the others.
    const int months = stepMonths(code);
    return months > 1 && months < 12 ? months : 1;
}

namespace {

// The end of the series: the end date at the time of day of the display, or nothing for a single display.
QString lastDisplay(const EditorFields& f) {
    return f.code > 0 ? quoteText(f.dateFin) + QLatin1Char(' ') + quoteText(f.heure) : QString();
}

}  // namespace

QString insertStatement(const EditorFields& f) {
    return QStringLiteral(
               "INSERT INTO message (titre,message,datemessage,heuremessage,etat,periodicite,prochainaffichage,"
               "dernieraffichage) VALUES ('%1','%2','%3','%4','actif','%5','%3 %4','%6')")
        .arg(quoteText(f.titre), quoteText(f.texte), quoteText(f.date), quoteText(f.heure), QString::number(f.code),
             lastDisplay(f));
}

QString updateStatement(const EditorFields& f, qint64 id) {
    return QStringLiteral(
               "UPDATE message SET titre = '%1',message = '%2',datemessage = '%3',heuremessage = '%4',"
               "etat = 'actif',periodicite = '%5',prochainaffichage = '%3 %4',dernieraffichage = '%6' WHERE id = %7")
        .arg(quoteText(f.titre), quoteText(f.texte), quoteText(f.date), quoteText(f.heure), QString::number(f.code),
             lastDisplay(f), QString::number(id));
}

}  // namespace tavanote
