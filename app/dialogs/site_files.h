// Export List and Import Plan: the file choosers and the file work; the session decides.
#pragma once

#include "runtime/console_runtime.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

class QWidget;

namespace tarnwick {

// The save dialog's choices; the one chosen decides the separator.
inline constexpr char CommaSeparatedFilter[] = "CSV, comma separated (*.csv)";
inline constexpr char SemicolonSeparatedFilter[] = "CSV, semicolon separated (*.csv)";
// A plan is a few hundred lines; anything far larger is not one.
inline constexpr qint64 LargestPlan = 10'000'000;

// Each opens its file dialog and returns at once; the rest follows the user's choice.
void ExportListToFile(QWidget* parent, ConsoleRuntime& runtime);
// `imported` runs once a plan has been read, whatever it made of it.
void ImportPlanFromFile(QWidget* parent, ConsoleRuntime& runtime, std::function<void()> imported);

// The export, written whole or not at all; the reason when it was not.
std::optional<QString> WriteExport(const QString& path, const std::string& text);
// A plan's bytes, never more than LargestPlan; the reason when it was not read.
std::variant<QByteArray, QString> ReadPlanFile(const QString& path);

} // namespace tarnwick
