// Conversions from the platform's value types to Qt's, for the platform's own implementation files.
#pragma once

#include "Graphics.h"

#include <QColor>
#include <QFont>

#include <algorithm>
#include <cstdlib>

namespace platform {

inline QColor toQColor(TColor color) {
    TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// The font by name (fontconfig substitutes a missing one) at its pixel height.
inline QFont toQFont(const TFont& font) {
    QFont result(QString::fromStdString(font.Name));
    result.setPixelSize(std::max(1, std::abs(font.Height)));
    result.setBold(font.Style & fsBold);
    result.setItalic(font.Style & fsItalic);
    result.setUnderline(font.Style & fsUnderline);
    return result;
}

} // namespace platform
