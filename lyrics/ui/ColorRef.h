#pragma once

#include <QColor>

// Colours are stored as red + 256 * green + 65536 * blue (0x00BBGGRR).
inline QColor colorFromRef(int ref) {
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

inline int refFromColor(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}
