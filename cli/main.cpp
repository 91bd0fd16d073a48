// tarnwick-cli: the set-up console without a window, for scripts.
#include "app/version.h"
#include "cli/cli_command.h"
#include "cli/commands.h"
#include "runtime/plan_file.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <exception>

using namespace tarnwick::cli;

namespace {

int Exit(ExitCode code) {
    return static_cast<int>(code);
}

int Run(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // A reader that goes away (| head) ends the output, not the process: the unit is released.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication::setApplicationName("tarnwick-cli");
    QCoreApplication::setApplicationVersion(tarnwick::ProjectVersion);
    const auto parsed = ParseCommandLine(QCoreApplication::arguments());
    if (const auto* answer = std::get_if<Answer>(&parsed)) {
        std::fputs(answer->text.c_str(), answer->toStandardError ? stderr : stdout);
        return Exit(answer->code);
    }
    const auto& command = std::get<Command>(parsed);
    // A plan that cannot be read is refused before anything goes out.
    std::string plan;
    if (const auto* apply = std::get_if<ApplyCommand>(&command.what)) {
        const auto read = tarnwick::ReadPlanFile(apply->plan);
        if (const auto* failure = std::get_if<QString>(&read)) {
            std::fprintf(stderr, "tarnwick-cli: %s\n", failure->toLocal8Bit().constData());
            return Exit(ExitCode::PlanRefused);
        }
        plan = std::get<QByteArray>(read).toStdString();
    }
    CliConsole console(command.internal);
    if (const auto failure = console.Start()) {
        std::fprintf(stderr, "tarnwick-cli: cannot start: %s\n", failure->c_str());
        return Exit(ExitCode::CannotStart);
    }
    ExitCode code = ExitCode::Done;
    if (const auto* list = std::get_if<ListCommand>(&command.what))
        code = RunList(console, *list);
    else if (const auto* identify = std::get_if<IdentifyCommand>(&command.what))
        code = RunIdentify(console, *identify);
    else
        code = RunApply(console, std::get<ApplyCommand>(command.what), plan);
    // The unselect request goes out as the call returns; a signal after this changes nothing.
    const int signal = console.Interrupted();
    console.Stop();
    // As a shell reports a command a signal ended: 130 for Ctrl+C, 143 for SIGTERM.
    return signal != 0 ? 128 + signal : Exit(code);
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "tarnwick-cli: %s\n", failure.what());
    } catch (...) {
        std::fputs("tarnwick-cli: an unknown error\n", stderr);
    }
    return Exit(ExitCode::CannotStart);
}
