// Window geometry is designed in twips (1/1440 inch). Qt works in
// device-independent pixels at a logical 96 DPI, so one conversion serves
// every position and size on the window.
#pragma once

#include <QRect>
#include <QSize>
#include <cmath>

namespace zorbix::screen {

inline int Px(int twips) { return static_cast<int>(std::lround(twips * 96.0 / 1440.0)); }

inline QRect TwipRect(int left, int top, int width, int height) {
    return {Px(left), Px(top), Px(width), Px(height)};
}

inline QSize TwipSize(int width, int height) { return {Px(width), Px(height)}; }

}  // namespace zorbix::screen
