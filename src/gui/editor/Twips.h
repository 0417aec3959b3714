// Window sizes and positions are kept in twips (1/1440 inch) in the settings store and in the
// layout rules; the screen's logical resolution turns them into pixels.
#pragma once

namespace tovan {

inline constexpr double kTwipsPerInch = 1440.0;

int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(int pixels);
double PixelsToTwipsY(int pixels);

} // namespace tovan
