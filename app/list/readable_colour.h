// Colours that stay readable on whatever the desktop's colour scheme draws them on.
#pragma once

#include <QColor>

namespace tarnwick {

// The contrast ratio of two colours, 1 to 21.
double Contrast(const QColor& a, const QColor& b);

// `wanted`, made darker on a light background or lighter on a dark one until its contrast with
// `background` is at least `ratio`.
QColor Readable(QColor wanted, const QColor& background, double ratio);

} // namespace tarnwick
