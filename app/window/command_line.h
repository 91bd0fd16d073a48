// The command line: --help and --version answer and end; exactly "Internal" starts the
// internal variant; anything else starts the normal console.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tarnwick {

// The text to print and exit with, when the command line asks for help or the version.
// Needs a QCoreApplication.
std::optional<QString> CommandLineAnswer(const QStringList& arguments);

// The one argument, exactly "Internal": the same word in other letters, more arguments or
// none leave the normal console.
bool IsInternalMode(const QStringList& arguments);

} // namespace tarnwick
