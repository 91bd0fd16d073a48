#include "cli/cli_command.h"

#include <QCoreApplication>

#include <optional>

namespace tarnwick::cli {
namespace {

constexpr char Usage[] = "Usage: tarnwick-cli [--internal] COMMAND [OPTIONS]\n"
                         "  list [--wait SECONDS] [--format table|csv|json]\n"
                         "  identify MAC [--seconds N]\n"
                         "  apply PLAN.csv [--wait SECONDS] [--dry-run] [--force] [--retries N] "
                         "[--format table|json]\n"
                         "  --help | --version\n";

constexpr char Help[] =
    "\n"
    "Finds the KVQ units on every network this machine is on (UDP broadcast, port 10021),\n"
    "lists them, makes one identify itself, or sends them a site plan's changes.\n"
    "\n"
    "  --internal        the internal variant: a plan may change serial numbers\n"
    "  --wait SECONDS    how long units may take to answer (default 3)\n"
    "  --format          table for people, csv or json for scripts (default table)\n"
    "  --seconds N       how long the unit identifies itself (default 10)\n"
    "  --dry-run         print what would change; send no change\n"
    "  --force           send even when the address check finds problems\n"
    "  --retries N       send unconfirmed changes again up to N times (default 2)\n"
    "\n"
    "Results: confirmed, no answer, unclear answer, not found, unchanged; planned in a dry\n"
    "run; not sent when a signal stopped the walk first.\n"
    "Exit codes: 0 done; 1 usage error or cannot start; 2 plan refused or unreadable;\n"
    "3 address problems, nothing sent; 4 some unit not found or not confirmed;\n"
    "130 or 143 stopped by Ctrl+C or SIGTERM.\n";

// A day: longer waits are mistakes, and milliseconds of them must fit an int.
constexpr int MostSeconds = 86400;
constexpr int MostRetries = 100;

Answer UsageError(const QString& why) {
    return {"tarnwick-cli: " + why.toStdString() + "\n" + Usage, ExitCode::CannotStart, true};
}

std::optional<Format> FormatNamed(const QString& name, bool csvToo) {
    if (name == "table")
        return Format::Table;
    if (name == "json")
        return Format::Json;
    if (name == "csv" && csvToo)
        return Format::Csv;
    return std::nullopt;
}

} // namespace

std::variant<Command, Answer> ParseCommandLine(const QStringList& arguments) {
    QStringList words = arguments.mid(1);
    if (words.contains("--help") || words.contains("-h"))
        return Answer{std::string(Usage) + Help};
    if (words.contains("--version"))
        return Answer{"tarnwick-cli " + QCoreApplication::applicationVersion().toStdString() +
                      "\n"};
    Command command;
    if (!words.isEmpty() && words.front() == "--internal") {
        command.internal = true;
        words.pop_front();
    }
    if (words.isEmpty())
        return UsageError("no command");
    const QString name = words.takeFirst();
    QStringList operands;
    // Options take their value as the next word or after "=".
    std::optional<QString> failure;
    const auto value = [&](int& i, const QString& word) -> std::optional<QString> {
        const qsizetype equals = word.indexOf('=');
        if (equals > 0)
            return word.mid(equals + 1);
        if (i + 1 < words.size())
            return words[++i];
        failure = word + " needs a value";
        return std::nullopt;
    };
    const auto number = [&](int& i, const QString& word, int low, int high, int& out) {
        const auto text = value(i, word);
        bool ok = false;
        const int n = text ? text->toInt(&ok) : 0;
        if (text && (!ok || n < low || n > high))
            failure = word.section('=', 0, 0) + " needs a whole number from " +
                      QString::number(low) + " to " + QString::number(high);
        else if (text)
            out = n;
    };
    ListCommand list;
    IdentifyCommand identify;
    ApplyCommand apply;
    bool csvAllowed = name == "list";
    Format format = Format::Table;
    for (int i = 0; i < words.size() && !failure; ++i) {
        const QString& word = words[i];
        const QString option = word.section('=', 0, 0);
        if (!word.startsWith("--")) {
            operands << word;
        } else if (option == "--wait" && name != "identify") {
            number(i, word, 0, MostSeconds, name == "list" ? list.waitSeconds : apply.waitSeconds);
        } else if (option == "--format" && name != "identify") {
            const auto text = value(i, word);
            const auto named = text ? FormatNamed(*text, csvAllowed) : std::nullopt;
            if (text && !named)
                failure = "--format takes " +
                          QString(csvAllowed ? "table, csv or json" : "table or json");
            format = named.value_or(format);
        } else if (option == "--seconds" && name == "identify") {
            number(i, word, 1, MostSeconds, identify.seconds);
        } else if (option == "--retries" && name == "apply") {
            number(i, word, 0, MostRetries, apply.retries);
        } else if (word == "--dry-run" && name == "apply") {
            apply.dryRun = true;
        } else if (word == "--force" && name == "apply") {
            apply.force = true;
        } else {
            failure = "unknown option " + word + " for " + name;
        }
    }
    if (failure)
        return UsageError(*failure);
    const qsizetype wanted = name == "list" ? 0 : 1;
    if (name != "list" && name != "identify" && name != "apply")
        return UsageError("unknown command " + name);
    if (operands.size() != wanted)
        return UsageError(name + (wanted == 0 ? " takes no operand"
                                              : (name == "apply" ? " needs one plan file"
                                                                 : " needs one MAC address")));
    if (name == "list") {
        list.format = format;
        command.what = list;
    } else if (name == "identify") {
        identify.mac = operands.front().toLatin1().toStdString();
        command.what = identify;
    } else {
        apply.plan = operands.front();
        apply.format = format;
        command.what = apply;
    }
    return command;
}

} // namespace tarnwick::cli
