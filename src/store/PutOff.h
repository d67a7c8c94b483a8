#pragma once

#include <QString>
#include <vector>

namespace tavanote {

// A note put off: one row of the table rappel. The instants are naive, written "dd/mm/yyyy hh:mm".
struct PutOff {
    qint64 id = 0;      // the message's id
    QString affichage;  // the display the note stands for: it shows it again, and its close steps from it
    QString retour;     // when the note comes back
    QString depuis;     // when it was put off: a clock set back behind it is told by it
};
using PutOffList = std::vector<PutOff>;

}  // namespace tavanote
