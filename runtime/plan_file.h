// Reading a site plan from a file, for every front end.
#pragma once

#include <QByteArray>
#include <QString>

#include <variant>

namespace tarnwick {

// A plan is a few hundred lines; anything far larger is not one.
inline constexpr qint64 LargestPlan = 10'000'000;

// A plan's bytes, never more than LargestPlan; the reason when it was not read.
std::variant<QByteArray, QString> ReadPlanFile(const QString& path);

} // namespace tarnwick
