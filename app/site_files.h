// Export List and Import Plan: the file choosers and the file work; the session decides.
#pragma once

#include "console/console_session.h"

#include <QString>

#include <optional>

class QWidget;

namespace tarnwick {

// Each opens its file dialog and returns at once; the rest follows the user's choice.
void ExportListToFile(QWidget* parent, ConsoleSession& session);
void ImportPlanFromFile(QWidget* parent, ConsoleSession& session);

// The export, written whole or not at all; the reason when it was not.
std::optional<QString> WriteExport(const QString& path, const std::string& text);

} // namespace tarnwick
