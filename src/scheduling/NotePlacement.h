#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

#include "common/Preferences.h"

namespace tavanote {

// Where a note goes on the screen's available area: at random with the draws rl and rt in [0, 1), or at one of
// the nine fixed places; nothing when the window system places it. The note always lies wholly on the area.
std::optional<QPoint> notePosition(const NotePlace& place, const QRect& area, const QSize& note, double rl, double rt);

// The colour of a random draw in [0, 1): the draw times 7 rounded to the nearest, halves to even, picks one of
// the eight note colours. Returned as 0xRRGGBB.
quint32 randomNoteColour(double draw);

// The eight note colours as the program stores them (BBGGRR).
extern const quint32 kNoteColours[8];

// A stored BBGGRR colour as 0xRRGGBB.
quint32 storedToRgb(quint32 stored);

}  // namespace tavanote
