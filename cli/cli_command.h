// The command line of tarnwick-cli: one command and its options, or the answer to give at once.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <variant>

namespace tarnwick::cli {

// The same for every command; scripts branch on them.
enum class ExitCode : int {
    Done = 0,
    CannotStart = 1, // a usage error too
    PlanRefused = 2,
    AddressProblems = 3,
    NotConfirmed = 4, // a unit not found, or not confirmed
};

enum class Format { Table, Csv, Json };

struct ListCommand {
    int waitSeconds = 3;
    Format format = Format::Table;
};

struct IdentifyCommand {
    std::string mac;
    int seconds = 10;
    int waitSeconds = 3; // for the unit to answer first
};

struct ApplyCommand {
    QString plan;
    int waitSeconds = 3;
    bool dryRun = false;
    bool force = false;
    int retries = 2;
    Format format = Format::Table;
};

struct Command {
    bool internal = false;
    std::variant<ListCommand, IdentifyCommand, ApplyCommand> what;
};

// --help, --version, or a usage error: what to print, where, and the exit code.
struct Answer {
    std::string text;
    ExitCode code = ExitCode::Done;
    bool toStandardError = false;
};

std::variant<Command, Answer> ParseCommandLine(const QStringList& arguments);

} // namespace tarnwick::cli
