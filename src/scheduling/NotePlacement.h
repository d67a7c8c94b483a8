#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace tavanote {

// Where a note goes on the screen's available area for the setting "position": empty places it at random
// with the draws rl and rt in [0, 1); "0" to "8" are the nine fixed places (top left ... bottom right); any
// other value gives nothing (the window system places it). The note always lies wholly on the area.
std::optional<QPoint> notePosition(const QString& position, const QRect& area, const QSize& note, double rl, double rt);

// The note's background for the setting "couleur" (a BBGGRR number), as a 0xRRGGBB value; empty gives nothing.
std::optional<quint32> fixedNoteColour(const QString& couleur);

// The colour of a random draw in [0, 1): the draw times 7 rounded to the nearest, halves to even, picks one of
// the eight note colours. Returned as 0xRRGGBB.
quint32 randomNoteColour(double draw);

// The eight note colours as the program stores them (BBGGRR).
extern const quint32 kNoteColours[8];

// A stored BBGGRR colour as 0xRRGGBB.
quint32 storedToRgb(quint32 stored);

}  // namespace tavanote
