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

// Each opens its file dialog and returns at once; the rest follows the user's choice.
void ExportListToFile(QWidget* parent, ConsoleRuntime& runtime);
// `imported` runs once a plan has been read, whatever it made of it.
void ImportPlanFromFile(QWidget* parent, ConsoleRuntime& runtime, std::function<void()> imported);

// The export, written whole or not at all; the reason when it was not.
std::optional<QString> WriteExport(const QString& path, const std::string& text);

} // namespace tarnwick
