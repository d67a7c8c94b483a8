#pragma once

#include <QColor>
#include <QFrame>
#include <array>

class QLabel;

namespace tavanote {

// "picLegende", the colour legend: a swatch and a caption per periodicity code, the headings, and the arrow that
// points at the swatch of the selected message. The colours of the lists are those of its swatches.
class Legend : public QFrame {
    Q_OBJECT
public:
    // hints: the object that shows the status bar hints; it watches the mouse over every part.
    Legend(QWidget* parent, const QRect& place, QObject* hints);

    std::array<QColor, 10> colours() const;
    // Points the arrow at the first swatch of the colour; hides it and its line when none has it.
    void pointAt(const QColor& colour);
    // The hint of a part of the legend, or empty when watched is none of them.
    QString hintFor(const QObject* watched) const;

private:
    std::array<QLabel*, 10> lblCouleur{};
    std::array<QLabel*, 13> Label2{};
    QLabel* imgFleche;
    QFrame* LinLegende;
};

}  // namespace tavanote
