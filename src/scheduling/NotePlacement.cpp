#include "NotePlacement.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace tavanote {

const quint32 kNoteColours[8] = {0xE0E0E0, 0x8080FF, 0x80C0FF, 0x80FFFF, 0x80FF80, 0xFFFF80, 0xFF8080, 0xFF80FF};

quint32 storedToRgb(quint32 stored) {
    return ((stored & 0xFF) << 16) | (stored & 0xFF00) | ((stored >> 16) & 0xFF);
}

std::optional<QPoint> notePosition(const NotePlace& place, const QRect& area, const QSize& note, double rl, double rt) {
    const int freeWidth = std::max(0, area.width() - note.width());
    const int freeHeight = std::max(0, area.height() - note.height());
    if (place.kind == NotePlace::Kind::Random) {
        const int left = std::clamp(static_cast<int>(std::floor(rl * freeWidth)), 0, freeWidth);
        const int top = std::clamp(static_cast<int>(std::floor(rt * freeHeight)), 0, freeHeight);
        return area.topLeft() + QPoint(left, top);
    }
    if (place.kind != NotePlace::Kind::Fixed)
        return std::nullopt;
    const int code = std::clamp(place.fixed, 0, 8);
    const int column = code % 3;  // left, centre, right
    const int row = code / 3;     // top, middle, bottom
    const int left = column == 0 ? 0 : (column == 1 ? freeWidth / 2 : freeWidth);
    const int top = row == 0 ? 0 : (row == 1 ? freeHeight / 2 : freeHeight);
    return area.topLeft() + QPoint(left, top);
}

quint32 randomNoteColour(double draw) {
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const int index = std::clamp(static_cast<int>(std::nearbyint(draw * 7)), 0, 7);
    std::fesetround(previous);
    return storedToRgb(kNoteColours[index]);
}

}  // namespace tavanote
