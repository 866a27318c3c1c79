#pragma once
// Window positions and margins are given in twips (1/1440 inch); the toolkit places widgets in
// pixels. The screen's logical DPI turns one into the other.

#include <QWidget>
#include <cmath>

namespace vantrel {

inline int TwipsToPixels(const QWidget* widget, double twips, bool vertical = false)
{
    const int dpi = vertical ? widget->logicalDpiY() : widget->logicalDpiX();
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

}  // namespace vantrel
