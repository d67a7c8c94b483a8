#include "Legend.h"

#include <QLabel>
#include <algorithm>

namespace tavanote {

namespace {

struct Swatch {
    QColor colour;
    const char* caption;
    const char* toolTip;
};
const Swatch kSwatches[10] = {
    {QColor(0, 0, 0), "1 fois", "Couleur du message affiché une fois"},
    {QColor(255, 0, 0), "Horaire", "Couleur du message affiché toutes les heures"},
    {QColor(128, 128, 255), "Journalier", "Couleur du message affiché tous les jours"},
    {QColor(255, 192, 128), "Hebdomadaire", "Couleur du message affiché toutes les semaines"},
    {QColor(0, 192, 0), "Mensuel", "Couleur du message affiché tous les mois"},
    {QColor(0, 255, 255), "Bimensuel", "Couleur du message affiché tous les 2 mois"},
    {QColor(255, 0, 255), "Trimensuel", "Couleur du message affiché tous les 3 mois"},
    {QColor(0, 255, 0), "Semestriel", "Couleur du message affiché tous les 6 mois"},
    {QColor(255, 255, 0), "Annuel", "Couleur du message affiché toutes les années"},
    {QColor(192, 192, 192), "Démarrage", "Couleur du message affiché au démarrage du programme"},
};

// The colour as the program stores colours: red in the low byte, blue in the high one.
quint32 storedColour(const QColor& colour) {
    return static_cast<quint32>(colour.red()) | (static_cast<quint32>(colour.green()) << 8) |
           (static_cast<quint32>(colour.blue()) << 16);
}

// A part with a hint of its own, not its parent's.
template <typename Part>
Part* hinted(Part* part, QObject* hints) {
    part->setMouseTracking(true);
    part->setAttribute(Qt::WA_NoMousePropagation);
    part->installEventFilter(hints);
    return part;
}

}  // namespace

Legend::Legend(QWidget* parent, const QRect& place, QObject* hints) : QFrame(parent) {
    setObjectName(QStringLiteral("picLegende"));
    setToolTip(QStringLiteral("Légende des couleurs des messages"));
    setFrameShape(QFrame::StyledPanel);
    setGeometry(place);
    setMouseTracking(true);
    installEventFilter(hints);
    const int width = place.width();

    const char* const headings[3] = {"Légende des couleurs", "Couleur d'affichage", "Fréquence d'affichage du message"};
    for (int i = 10; i < 13; ++i) {
        auto* label = hinted(new QLabel(QString::fromUtf8(headings[i - 10]), this), hints);
        label->setObjectName(QStringLiteral("Label2_%1").arg(i));
        label->setWordWrap(true);
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * (i == 10 ? 0.95 : 0.75));
        font.setBold(i == 10);
        label->setFont(font);
        Label2[static_cast<size_t>(i)] = label;
    }
    // The headings take the room their words need in the font they are shown in; the swatches come below.
    int first = 48;
    for (const QString& word : Label2[11]->text().split(QLatin1Char(' ')))
        first = std::max(first, Label2[11]->fontMetrics().horizontalAdvance(word) + 4);
    const auto lay = [](QLabel* label, int left, int top, int width) {
        label->setGeometry(left, top, width, label->heightForWidth(width));
        return label->geometry().bottom() + 1;
    };
    const int columns = lay(Label2[10], 4, 2, width - 8) + 2;
    const int swatchTop =
        std::max(lay(Label2[11], 2, columns, first), lay(Label2[12], first + 4, columns, width - first - 6)) + 4;
    const int step = std::clamp((place.height() - swatchTop - 2) / 10, 20, 28);
    for (int i = 0; i < 10; ++i) {
        const int top = swatchTop + i * step;
        auto* swatch = hinted(new QLabel(this), hints);
        swatch->setObjectName(QStringLiteral("lblCouleur_%1").arg(i));
        swatch->setToolTip(QString::fromUtf8(kSwatches[i].toolTip));
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, kSwatches[i].colour);
        swatch->setPalette(palette);
        swatch->setStyleSheet(
            QStringLiteral("background-color: %1; border: 1px solid #404040;").arg(kSwatches[i].colour.name()));
        swatch->setGeometry(16, top, 20, 18);
        lblCouleur[static_cast<size_t>(i)] = swatch;

        auto* caption = hinted(new QLabel(QString::fromUtf8(kSwatches[i].caption), this), hints);
        caption->setObjectName(QStringLiteral("Label2_%1").arg(i));
        caption->setGeometry(40, top, width - 42, 18);
        Label2[static_cast<size_t>(i)] = caption;
    }
    imgFleche = hinted(new QLabel(QStringLiteral("►"), this), hints);
    imgFleche->setObjectName(QStringLiteral("imgFleche"));
    imgFleche->setToolTip(QStringLiteral("Indicateur de couleur du message sélectionné"));
    imgFleche->setGeometry(3, swatchTop, 12, 18);
    imgFleche->hide();
    LinLegende = new QFrame(this);
    LinLegende->setObjectName(QStringLiteral("LinLegende"));
    LinLegende->setFrameShape(QFrame::VLine);
    LinLegende->setGeometry(1, swatchTop - 2, 3, step * 10);
    LinLegende->hide();
}

std::array<QColor, 10> Legend::colours() const {
    std::array<QColor, 10> colours;
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = lblCouleur[i]->palette().color(QPalette::Window);
    return colours;
}

void Legend::pointAt(const QColor& colour) {
    for (QLabel* swatch : lblCouleur) {
        if (colour.isValid() && swatch->palette().color(QPalette::Window) == colour) {
            imgFleche->move(imgFleche->x(), swatch->y());
            imgFleche->show();
            LinLegende->show();
            return;
        }
    }
    imgFleche->hide();
    LinLegende->hide();
}

QString Legend::hintFor(const QObject* watched) const {
    if (watched == this || watched == imgFleche)
        return static_cast<const QWidget*>(watched)->toolTip();
    for (size_t i = 0; i < lblCouleur.size(); ++i) {
        if (watched == lblCouleur[i] || watched == Label2[i]) {
            const QColor colour = lblCouleur[i]->palette().color(QPalette::Window);
            return lblCouleur[i]->toolTip() + QStringLiteral(" [couleur: &H") +
                   QString::number(storedColour(colour), 16).toUpper() + QStringLiteral("&]");
        }
    }
    return QString();
}

}  // namespace tavanote
