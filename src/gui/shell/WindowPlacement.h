// The main window's remembered placement: section "Startup" of the settings store, keys
// "Left", "Top", "Width" and "Height", in twips, stored as text.
#pragma once

#include "platform/Platform.h"

#include <QWidget>

namespace tovan {

inline constexpr double kDefaultWidthTwips = 12390;
inline constexpr double kDefaultHeightTwips = 9480;

// Moves and sizes `window` as stored (defaults 0, 0, 12390, 9480). A stored value that is not
// a number throws (the window keeps its placement); a minimised result takes the defaults.
void RestorePlacement(QWidget& window, Platform& platform);
// Makes the window fit the free area of its screen and moves it onto it. Run again once the
// window is shown, when the size of its frame is known.
void KeepOnScreen(QWidget& window);
// Writes the window's placement (its normal one when maximised) as single-precision text.
void SavePlacement(const QWidget& window, Platform& platform);

} // namespace tovan
