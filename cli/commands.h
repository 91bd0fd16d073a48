// The commands of tarnwick-cli, each on a started console; what they print goes to standard
// output, what went wrong to standard error. A signal ends each early: apply still reports what
// became of the units so far.
#pragma once

#include "cli/cli_command.h"
#include "cli/cli_console.h"

namespace tarnwick::cli {

ExitCode RunList(CliConsole& console, const ListCommand& command);
ExitCode RunIdentify(CliConsole& console, const IdentifyCommand& command);
ExitCode RunApply(CliConsole& console, const ApplyCommand& command, const std::string& plan);

} // namespace tarnwick::cli
