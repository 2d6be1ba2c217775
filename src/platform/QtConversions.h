// Conversions from the platform's value types to Qt's, for the platform's own implementation files.
#pragma once

#include "Graphics.h"

#include <QColor>
#include <QFont>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace platform {

inline QColor toQColor(TColor color) {
    TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// The font by name (fontconfig substitutes a missing one) at its pixel height.
inline QFont toQFont(const TFont& font) {
    QFont result(QString::fromStdString(font.Name));
    // Stored heights are any 32-bit value; keep the pixel size to what a screen can show.
    int64_t height = font.Height;
    result.setPixelSize(static_cast<int>(std::clamp<int64_t>(height < 0 ? -height : height, 1, 4096)));
    result.setBold(font.Style & fsBold);
    result.setItalic(font.Style & fsItalic);
    result.setUnderline(font.Style & fsUnderline);
    return result;
}

} // namespace platform
