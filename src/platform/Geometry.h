#pragma once
// Screen designs are in twips; 15 twips make one pixel at 96 dpi.
#include <QWidget>

namespace orvane {

inline int twips(int tw) {
    return (tw + 7) / 15;
}

inline void placeTwips(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

// Fixes a screen's client area to its design size.
inline void sizeTwips(QWidget* w, int width, int height) {
    w->setFixedSize(twips(width), twips(height));
}

} // namespace orvane
