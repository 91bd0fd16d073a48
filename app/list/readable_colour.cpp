#include "app/list/readable_colour.h"

#include <algorithm>
#include <cmath>

namespace tarnwick {
namespace {

double Luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Readable(QColor wanted, const QColor& background, double ratio) {
    const bool darkBackground = Luminance(background) < 0.18;
    // Each step moves a quarter of the way to white or black: twelve steps reach either.
    const QColor end = darkBackground ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 0; step < 12 && Contrast(wanted, background) < ratio; ++step)
        wanted = QColor::fromRgbF(
            static_cast<float>(wanted.redF() + (end.redF() - wanted.redF()) / 4),
            static_cast<float>(wanted.greenF() + (end.greenF() - wanted.greenF()) / 4),
            static_cast<float>(wanted.blueF() + (end.blueF() - wanted.blueF()) / 4));
    return wanted;
}

} // namespace tarnwick
