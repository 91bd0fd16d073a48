#include "cli/commands.h"

#include "cli/apply_report.h"
#include "cli/unit_listing.h"
#include "console/table/latin1_text.h"

#include <cstdio>
#include <unistd.h>

namespace tarnwick::cli {
namespace {

constexpr int MsPerSecond = 1000;
// Three requests again at most, each after a second's quiet.
constexpr int RecoveryWaitMs = 5 * MsPerSecond;
// A change request's answer may take the reply wait (ten ticks) and a tick more.
constexpr int ResultWaitMs = (ChangeReplyWaitTicks + 2) * TimerOpenIntervalMs;

void Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

// Progress is for a person watching; a script reads standard output only.
void Progress(const std::string& text) {
    if (::isatty(STDERR_FILENO))
        std::fprintf(stderr, "%s\n", text.c_str());
}

void Discover(CliConsole& console, int seconds) {
    console.Wait(seconds * MsPerSecond);
    // Replies lost to a full buffer are asked for again about a second after the burst: their
    // answers belong to this list too.
    console.Wait(RecoveryWaitMs, [&] { return !console.State().recovery.Pending(); });
    const int count = console.State().UnitCount();
    Progress(std::to_string(count) + (count == 1 ? " unit" : " units"));
}

std::string CheckText(bool checked) {
    return checked ? "true" : "false";
}

std::vector<FieldChange> Changes(const SessionState& state, const std::vector<PlannedEdit>& edits,
                                 int row) {
    std::vector<FieldChange> changes;
    for (const PlannedEdit& edit : edits) {
        if (edit.row != row)
            continue;
        const std::string key =
            SnakeCase(ListColumnHeaders[static_cast<std::size_t>(edit.column - 1)]);
        if (edit.column == ColumnUseDHCP)
            changes.push_back(
                {key, CheckText(state.units.Row(row).reportedChecked), CheckText(edit.checked)});
        else
            changes.push_back(
                {key, Latin1ToUtf8(std::string(state.units.ReportedText(row, edit.column))),
                 Latin1ToUtf8(edit.text)});
    }
    return changes;
}

const char* ResultWord(const ChangeResult* result, bool changes) {
    // An interrupted walk, or a send that failed everywhere, leaves changes unsent.
    if (!result)
        return changes ? "not sent" : "unchanged";
    switch (result->state) {
    case ChangeState::Confirmed:
        return "confirmed";
    case ChangeState::UnclearAnswer:
        return "unclear answer";
    case ChangeState::Sent:
    case ChangeState::NoAnswer:
        break;
    }
    return "no answer";
}

// Until the walk is over and every change request has its answer or has waited long enough.
void AwaitResults(CliConsole& console) {
    const SessionState& state = console.State();
    std::string said;
    console.Wait(ResultWaitMs * 4, [&] {
        if (const std::string sum = state.StatusText(); sum != said)
            Progress(said = sum); // "Apply: 3 sent · 1 confirmed"
        if (state.Applying())
            return false;
        for (int row = 1; row <= state.UnitCount(); ++row)
            if (const ChangeResult* result = state.ResultOf(row);
                result && result->state == ChangeState::Sent)
                return false;
        return true;
    });
}

} // namespace

ExitCode RunList(CliConsole& console, const ListCommand& command) {
    Discover(console, command.waitSeconds);
    if (console.Interrupted())
        return ExitCode::Done;
    const SessionState& state = console.State();
    Print(command.format == Format::Json  ? ListJson(state)
          : command.format == Format::Csv ? ListCsv(state)
                                          : ListTable(state));
    return ExitCode::Done;
}

ExitCode RunIdentify(CliConsole& console, const IdentifyCommand& command) {
    console.Wait(command.waitSeconds * MsPerSecond,
                 [&] { return console.RowOf(command.mac) != 0; });
    const int row = console.RowOf(command.mac);
    if (console.Interrupted())
        return ExitCode::Done;
    if (row == 0) {
        std::fprintf(stderr, "tarnwick-cli: no unit answered with %s\n", command.mac.c_str());
        return ExitCode::NotConfirmed;
    }
    // Selected, the unit is asked again on every tick; stopping sends its unselect request.
    console.Runtime().Session()->SelectRow(row);
    Progress("identifying " + command.mac + " for " + std::to_string(command.seconds) + " s");
    console.Wait(command.seconds * MsPerSecond);
    return ExitCode::Done;
}

ExitCode RunApply(CliConsole& console, const ApplyCommand& command, const std::string& plan) {
    Discover(console, command.waitSeconds);
    if (console.Interrupted())
        return ExitCode::Done;
    const SessionState& state = console.State();
    const ImportResult imported = console.Runtime().Session()->ImportPlan(plan);
    if (!imported.problems.empty()) {
        for (const std::string& problem : imported.problems)
            std::fprintf(stderr, "%s\n", problem.c_str());
        return ExitCode::PlanRefused;
    }
    // Cells kept as their units have them: said as the window's Import Plan says it.
    if (!imported.droppedZeros.empty())
        std::fprintf(stderr, "%s\n", ImportNotes(imported).c_str());
    std::vector<PlannedUnit> report;
    for (const int row : imported.plannedRows)
        report.push_back({Latin1ToUtf8(state.units.CellAt(row, ColumnMACAddress).text), "",
                          Changes(state, imported.edits, row)});
    for (const std::string& mac : imported.unknownMacs)
        report.push_back({mac, "not found", {}});
    const auto print = [&] {
        Print(command.format == Format::Json ? ReportJson(report, state.recovery.LostInAll())
                                             : ReportTable(report));
    };
    const std::vector<std::string> problems = CheckAddresses(state);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "%s\n", problem.c_str());
    const bool stopped = !problems.empty() && !command.force;
    if (command.dryRun) {
        for (PlannedUnit& unit : report)
            if (unit.result.empty())
                unit.result = unit.changes.empty() ? "unchanged" : "planned";
        print();
    }
    if (stopped)
        return ExitCode::AddressProblems;
    if (command.dryRun)
        return imported.unknownMacs.empty() ? ExitCode::Done : ExitCode::NotConfirmed;
    console.Runtime().Session()->Apply();
    AwaitResults(console);
    for (int retry = 0; retry < command.retries && state.HasUnconfirmed() && !console.Interrupted();
         ++retry) {
        Progress("sending unconfirmed changes again");
        console.Runtime().Session()->ResendUnconfirmed();
        AwaitResults(console);
    }
    bool allConfirmed = imported.unknownMacs.empty();
    for (std::size_t i = 0; i < imported.plannedRows.size(); ++i) {
        const int row = imported.plannedRows[i];
        const bool changes = !report[i].changes.empty();
        const ChangeResult* result = changes ? state.ResultOf(row) : nullptr;
        report[i].result = ResultWord(result, changes);
        allConfirmed =
            allConfirmed && (!changes || (result && result->state == ChangeState::Confirmed));
    }
    // The unit is released before anything is printed: a closed pipe must not keep it selected.
    if (console.Interrupted())
        console.Stop();
    print();
    return allConfirmed ? ExitCode::Done : ExitCode::NotConfirmed;
}

} // namespace tarnwick::cli
