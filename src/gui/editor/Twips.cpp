#include "editor/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tovan {

namespace {

// Without a screen (early start-up) the common 96 dots per inch.
double LogicalDpi(bool horizontal) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 96.0;
    return horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
}

} // namespace

int TwipsToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips * LogicalDpi(true) / kTwipsPerInch));
}

int TwipsToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips * LogicalDpi(false) / kTwipsPerInch));
}

double PixelsToTwipsX(int pixels) {
    return pixels * kTwipsPerInch / LogicalDpi(true);
}

double PixelsToTwipsY(int pixels) {
    return pixels * kTwipsPerInch / LogicalDpi(false);
}

} // namespace tovan
