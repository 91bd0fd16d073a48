// tarnwick-cli's own decisions: its command line, and how it prints the list and a report.
#include "cli/apply_report.h"
#include "cli/cli_command.h"
#include "cli/unit_listing.h"
#include "console/session/console_session.h"
#include "tests/support/recording_sink.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace tarnwick::cli {
namespace {

// What a command line comes to, in one comparable line.
std::string Parsed(const QStringList& words) {
    const auto parsed = ParseCommandLine(QStringList{"tarnwick-cli"} + words);
    if (const auto* answer = std::get_if<Answer>(&parsed))
        return std::to_string(static_cast<int>(answer->code)) + " " +
               answer->text.substr(0, answer->text.find('\n'));
    const Command& c = std::get<Command>(parsed);
    std::string text = c.internal ? "internal " : "";
    if (const auto* list = std::get_if<ListCommand>(&c.what))
        return text + "list " + std::to_string(list->waitSeconds) + " " +
               std::to_string(static_cast<int>(list->format));
    if (const auto* identify = std::get_if<IdentifyCommand>(&c.what))
        return text + "identify " + identify->mac + " " + std::to_string(identify->seconds);
    const auto& apply = std::get<ApplyCommand>(c.what);
    return text + "apply " + apply.plan.toStdString() + " " + std::to_string(apply.waitSeconds) +
           (apply.dryRun ? " dry" : "") + (apply.force ? " force" : "") + " " +
           std::to_string(apply.retries) + " " + std::to_string(static_cast<int>(apply.format));
}

TEST(CliCommand, EachCommandItsOwnOptionsAndEveryMistakeAUsageError) {
    const std::pair<QStringList, std::string> cases[] = {
        {{"list"}, "list 3 0"},
        {{"--internal", "list", "--wait", "5", "--format=json"}, "internal list 5 2"},
        {{"list", "--format", "csv"}, "list 3 1"},
        {{"identify", "00:1b:2c:00:00:0a", "--seconds=4"}, "identify 00:1b:2c:00:00:0a 4"},
        {{"apply", "p.csv", "--dry-run", "--force", "--retries", "0"},
         "apply p.csv 3 dry force 0 0"},
        {{"apply", "p.csv", "--format", "json", "--wait=1"}, "apply p.csv 1 2 2"},
        {{"list", "--help"}, "0 Usage: tarnwick-cli [--internal] COMMAND [OPTIONS]"},
        {{}, "1 tarnwick-cli: no command"},
        {{"list", "x"}, "1 tarnwick-cli: list takes no operand"},
        {{"apply"}, "1 tarnwick-cli: apply needs one plan file"},
        {{"apply", "p.csv", "--format", "csv"}, "1 tarnwick-cli: --format takes table or json"},
        {{"identify", "m", "--wait", "2"}, "1 tarnwick-cli: unknown option --wait for identify"},
        {{"identify", "m", "--seconds", "0"},
         "1 tarnwick-cli: --seconds needs a whole number from 1 to 86400"},
        {{"list", "--wait"}, "1 tarnwick-cli: --wait needs a value"},
        {{"list", "--wait=86401"}, "1 tarnwick-cli: --wait needs a whole number from 0 to 86400"},
        {{"list", "--internal"}, "1 tarnwick-cli: unknown option --internal for list"},
        {{"show"}, "1 tarnwick-cli: unknown command show"}};
    for (const auto& [words, expected] : cases)
        EXPECT_EQ(Parsed(words), expected) << words.join(' ').toStdString();
}

TEST(UnitListing, EveryUnitOnceByMacWithTheListsCaptionsAsKeys) {
    test::RecordingSink sink;
    ConsoleSession session(sink, false);
    for (const int unit : {3, 1, 2, 1})
        session.TakeDatagram(test::SampleUnitReply(unit), "10.0.0.9");
    EXPECT_EQ(RowsByMac(session.State().units), (std::vector{2, 3, 1}));
    const std::string table = ListTable(session.State());
    EXPECT_TRUE(table.starts_with("MAC Address        IP Address  Saved IP Address"));
    EXPECT_LT(table.find("kvq-1"), table.find("kvq-2"));
    const QJsonObject list =
        QJsonDocument::fromJson(QByteArray::fromStdString(ListJson(session.State()))).object();
    const QJsonObject first = list["units"].toArray()[0].toObject();
    EXPECT_EQ(first.keys().join(' ').toStdString(),
              "default_gateway device_information dip_switch dns_server hardware_version "
              "host_name ip_address mac_address reachable saved_ip_address serial_number "
              "software_application_name software_version subnet_mask unit_id use_dhcp "
              "vendor_manufacturer");
    EXPECT_EQ(first["use_dhcp"], true);
    EXPECT_EQ(first["mac_address"], test::SampleMac(1).c_str());
    EXPECT_EQ(list["lost_replies"], 0);
    const std::string csv = ListCsv(session.State());
    EXPECT_LT(csv.find(test::SampleMac(2)), csv.find(test::SampleMac(3)));
}

TEST(ApplyReport, OneLinePerUnitWithItsChanges) {
    const std::vector<PlannedUnit> units = {
        {"00:1B:2C:00:00:01",
         "confirmed",
         {{"host_name", "kvq-1", "cam-1"}, {"use_dhcp", "true", "false"}}},
        {"00:1B:2C:00:00:09", "not found", {}}};
    EXPECT_EQ(ReportTable(units),
              "MAC Address        Result     Changes\n"
              "00:1B:2C:00:00:01  confirmed  host_name: kvq-1 -> cam-1, use_dhcp: true -> false\n"
              "00:1B:2C:00:00:09  not found\n");
    const QJsonObject report =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReportJson(units, 7))).object();
    EXPECT_EQ(report["lost_replies"], 7);
    EXPECT_EQ(report["units"][0]["changes"]["use_dhcp"]["to"], "false");
    EXPECT_EQ(report["units"][1]["result"], "not found");
}

} // namespace
} // namespace tarnwick::cli
