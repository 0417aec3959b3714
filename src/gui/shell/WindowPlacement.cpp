#include "shell/WindowPlacement.h"

#include "editor/Twips.h"

#include <QLocale>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tovan {

namespace {

constexpr std::string_view kSection = "Startup";

double StoredNumber(Platform& platform, std::string_view key, std::string_view defaultValue) {
    const std::string text = platform.setting(kSection, key, defaultValue);
    bool ok = false;
    const double number = QLocale::c().toDouble(QString::fromLatin1(text).trimmed(), &ok);
    if (!ok) throw std::runtime_error("Type mismatch");
    return number;
}

// Single-precision text, the way the values have always been stored: "12390", "1234.5".
std::string SingleText(double twips) {
    return QString::number(static_cast<double>(static_cast<float>(twips)), 'g', 7).toStdString();
}

void Place(QWidget& window, double left, double top, double width, double height) {
    window.move(TwipsToPixelsX(left), TwipsToPixelsY(top));
    window.resize(TwipsToPixelsX(width), TwipsToPixelsY(height));
}

// Far beyond any desktop (a million twips are some 66,000 pixels): a stored placement outside
// this, or one that is not a number at all (NaN, infinity), was not saved by the program and is
// no placement to restore; it would also overflow the conversion to pixels.
constexpr double kFarthestTwips = 1e6;

bool IsPlausible(double left, double top, double width, double height) {
    const auto within = [](double twips) {
        return std::isfinite(twips) && std::fabs(twips) <= kFarthestTwips;
    };
    return within(left) && within(top) && within(width) && within(height) && width > 0 &&
           height > 0;
}

} // namespace

// All four are read before the window moves, so that a bad value leaves it where it was.
void RestorePlacement(QWidget& window, Platform& platform) {
    const double left = StoredNumber(platform, "Left", "0");
    const double top = StoredNumber(platform, "Top", "0");
    const double width = StoredNumber(platform, "Width", "12390");
    const double height = StoredNumber(platform, "Height", "9480");
    if (IsPlausible(left, top, width, height)) {
        Place(window, left, top, width, height);
    } else {
        Place(window, 0, 0, kDefaultWidthTwips, kDefaultHeightTwips);
    }
    if (window.isMinimized()) Place(window, 0, 0, kDefaultWidthTwips, kDefaultHeightTwips);
    KeepOnScreen(window);
}

// The frame's position and the client size, so that a restore puts the window back exactly.
void SavePlacement(const QWidget& window, Platform& platform) {
    QPoint position = window.pos();
    QSize size = window.size();
    if (window.isMaximized() || window.isMinimized()) {
        const QRect normal = window.normalGeometry();
        position = normal.topLeft() - (window.geometry().topLeft() - window.pos());
        size = normal.size();
    }
    platform.saveSetting(kSection, "Left", SingleText(PixelsToTwipsX(position.x())));
    platform.saveSetting(kSection, "Top", SingleText(PixelsToTwipsY(position.y())));
    platform.saveSetting(kSection, "Width", SingleText(PixelsToTwipsX(size.width())));
    platform.saveSetting(kSection, "Height", SingleText(PixelsToTwipsY(size.height())));
}

// A placement saved on a larger screen, or at a larger scale, would run off this screen.
void KeepOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen || window.isMaximized() || window.isFullScreen()) return;
    const QRect free = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size() - window.size();
    window.resize(window.size().boundedTo(free.size() - frame));
    const QSize outer = window.size() + frame;
    window.move(std::clamp(window.x(), free.left(), free.right() + 1 - outer.width()),
                std::clamp(window.y(), free.top(), free.bottom() + 1 - outer.height()));
}

} // namespace tovan
