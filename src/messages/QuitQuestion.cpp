#include "QuitQuestion.h"

namespace tavanote {

QString quitWarning(int active, int displayed) {
    QString warning;
    if (active >= 1) {
        warning = QStringLiteral(
                      "\n\nAttention:\nIl existe des messages actifs à afficher [%1 message(s)]\n"
                      "Ceux-ci ne pourront pas s'afficher tant que le programme ne sera pas démarré.")
                      .arg(active);
    }
    if (displayed >= 1) {
        if (warning.isEmpty() && displayed != 1) {
            warning = QStringLiteral(
                          "\n\nAttention:\nIl existe des messages actuellement affichés [%1 messages]\n"
                          "Ceux-ci ne seront plus affichés si vous quittez le programme.")
                          .arg(displayed);
        } else if (warning.isEmpty()) {
            warning = QStringLiteral(
                "\n\nAttention:\nIl existe un message actuellement affiché.\n"
                "Celui-ci ne sera plus affiché si vous quittez le programme.");
        } else if (displayed != 1) {
            warning += QStringLiteral(
                           "\nDe plus, %1 messages sont actuellement affichés.\n"
                           "Ceux-ci ne seront plus affichés si vous quittez le programme.")
                           .arg(displayed);
        } else {
            warning += QStringLiteral(
                "\nDe plus, 1 message est actuellement affiché.\n"
                "Celui-ci ne sera plus affiché si vous quittez le programme.");
        }
    }
    return warning;
}

QString quitQuestion(int active, int displayed) {
    return QStringLiteral("Êtes-vous sûr(e) de vouloir quitter le programme 'Tavanote' ?") +
           quitWarning(active, displayed);
}

}  // namespace tavanote
