#include "app/window/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace tarnwick {

std::optional<QString> CommandLineAnswer(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Set-up console for KVQ network video units: finds every unit on the networks this "
        "machine is on (UDP broadcast, port 10021), lists them and sends them changed network "
        "settings.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        "Internal", "Start the internal variant, which also edits serial numbers.", "[Internal]");
    // Whatever else is on the line starts the normal console, so an unknown option is no error.
    // Qt's own options (-stylesheet, -style) are words, not runs of letters: -stylesheet holds an
    // h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.parse(arguments);
    if (parser.isSet(help) || parser.isSet("help-all"))
        return parser.helpText();
    if (parser.isSet(version))
        return QCoreApplication::applicationName() + " " + QCoreApplication::applicationVersion() +
               "\n";
    return std::nullopt;
}

bool IsInternalMode(const QStringList& arguments) {
    return arguments.size() == 2 && arguments[1] == "Internal";
}

} // namespace tarnwick
