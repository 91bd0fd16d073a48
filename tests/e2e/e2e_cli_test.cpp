// End to end, tarnwick-cli: the real binary as the user nobody with no display, against the
// simulator on the private test network; what it sends is read from the simulator's log.
#include "e2e_support.h"

#include <QJsonDocument>

namespace tarnwick::test {
namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class EndToEndCli : public EndToEnd {
protected:
    // `signal` after `signalAfterMs`, when given.
    CliRun Cli(const QStringList& arguments, int signal = 0, int signalAfterMs = 0) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.insert("XDG_RUNTIME_DIR", runtime);
        process.setProcessEnvironment(environment);
        AsNobody(process, runtime);
        process.start(qEnvironmentVariable("TARNWICK_CLI_BINARY"), arguments);
        if (signal != 0) {
            QTest::qWait(signalAfterMs);
            // A pid of 0 would signal this whole process group.
            EXPECT_EQ(process.state(), QProcess::Running) << "ended before the signal";
            if (process.state() == QProcess::Running && process.processId() > 0)
                ::kill(static_cast<pid_t>(process.processId()), signal);
        }
        // Driven by the event loop: the simulator's log is read meanwhile.
        EXPECT_TRUE(WaitUntil([&] { return process.state() == QProcess::NotRunning; }, 60000));
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }
    // A plan file in nobody's runtime directory.
    QString Plan(const char* name, const QString& text) {
        const QString path = runtime + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        return path;
    }
    // The change requests the simulator took: unit MAC and its changed fields, in order.
    std::vector<QString> Changes(SimProcess& sim) {
        std::vector<QString> changes;
        for (const QJsonObject& request : sim.Events("request"))
            if (request["function"].toInt() == FunctionCodeChangeSettings)
                changes.push_back(
                    NamedUnit(request) + " " +
                    QJsonDocument(request["changes"].toArray()).toJson(QJsonDocument::Compact));
        return changes;
    }
};

TEST_F(EndToEndCli, ListsEveryUnitWithTheFieldsItReports) {
    StartSims({"--count", "3"});
    const CliRun run = Cli({"list", "--format", "json", "--wait", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonArray units =
        QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object()["units"].toArray();
    ASSERT_EQ(units.size(), 3);
    const std::vector<QJsonObject> replies = first.Events("reply");
    ASSERT_FALSE(replies.empty());
    for (const QJsonObject& reply : replies) {
        const QJsonObject fields = reply["fields"].toObject();
        const QJsonObject unit = units[reply["unit"].toInt()].toObject(); // ordered by MAC
        for (int field = 1; field <= FieldNumberUnitID; ++field) {
            const QString key = QString::fromStdString(cli::SnakeCase(
                ListColumnHeaders[static_cast<std::size_t>(ColumnOfField(field) - 1)]));
            const QString sent = fields[QString::number(field)].toString();
            EXPECT_EQ(field == FieldNumberUseDHCP ? QJsonValue(sent == "TRUE") : QJsonValue(sent),
                      unit[key])
                << key.toStdString();
        }
    }
    EXPECT_EQ(first.Count(Request(FunctionCodeSelectUnit)), 0) << "a list picks no unit";
}

// The plan the window's Apply sends in the plan scenario; here one unit never answers.
TEST_F(EndToEndCli, AppliesAPlanAsTheWindowDoesAndReportsEachUnit) {
    // Each road has fresh units of its own.
    auto sim = std::make_unique<SimProcess>();
    QString error;
    ASSERT_TRUE(sim->Start({"--count", "3", "--silent-unit", "2"}, error)) << error.toStdString();
    const QString plan = Plan("plan.csv", "MAC Address,Saved IP Address,Host Name\n"
                                          "00:1B:2C:00:00:00,10.77.1.50,\n"
                                          "00:1B:2C:00:00:01,,cam-b\n"
                                          "00:1B:2C:00:00:02,10.77.1.52,\n");
    CliRun run = Cli({"apply", plan, "--dry-run", "--wait", "2"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(sim->Count(Request(FunctionCodeChangeSettings)), 0) << "a dry run sends nothing";
    EXPECT_NE(run.out.find("host_name: kvq-2 -> cam-b"), std::string::npos) << run.out;

    run = Cli({"apply", plan, "--wait", "2", "--retries", "1", "--format", "json"});
    EXPECT_EQ(run.exitCode, 4) << run.err;
    std::map<QString, QString> results;
    for (const QJsonValue unit :
         QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object()["units"].toArray())
        results[unit["mac_address"].toString()] = unit["result"].toString();
    EXPECT_EQ(results, (std::map<QString, QString>{{"00:1B:2C:00:00:00", "confirmed"},
                                                   {"00:1B:2C:00:00:01", "confirmed"},
                                                   {"00:1B:2C:00:00:02", "no answer"}}));
    const std::vector<QString> fromCli = Changes(*sim);
    ASSERT_EQ(fromCli.size(), 4u) << "three, and the silent unit's once more";
    EXPECT_EQ(fromCli[3], fromCli[2]);
    // SIGTERM while the silent unit's answer is awaited: the report so far, and 143.
    const QString again = Plan("again.csv", "MAC Address,Host Name\n00:1B:2C:00:00:00,cam-a\n"
                                            "00:1B:2C:00:00:02,cam-c\n");
    run = Cli({"apply", again, "--wait", "1"}, SIGTERM, 3000);
    EXPECT_EQ(run.exitCode, 143) << run.err;
    EXPECT_NE(run.out.find("00:1B:2C:00:00:02  no answer"), std::string::npos) << run.out;
    EXPECT_EQ(Changes(*sim).size(), 6u) << "no resend after the signal";

    // The window's road, through its Import Plan dialog and Apply by the keyboard alone: the
    // same change requests.
    sim.reset();
    SimProcess fresh;
    ASSERT_TRUE(fresh.Start({"--count", "3", "--silent-unit", "2"}, error)) << error.toStdString();
    Console console(runtime);
    ASSERT_TRUE(WaitUntil([&] { return fresh.Count(Request(FunctionCodeSelectUnit)) > 0; }, 10000));
    console.Focus();
    console.Keys({"ctrl+i"});
    QTest::qWait(500);
    console.Type(plan);
    console.Keys({"Return"});
    QTest::qWait(500);
    Screenshot("plan-imported");
    console.Focus();
    console.Keys({"Tab", "space"}); // from the list to Apply
    ASSERT_TRUE(WaitUntil([&] { return Changes(fresh).size() == 3; }, 2 * Timeout));
    EXPECT_EQ(Changes(fresh), std::vector(fromCli.begin(), fromCli.begin() + 3));
    // Never beside the window: each would take only some of the replies.
    run = Cli({"list"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("window of this user is running"), std::string::npos) << run.err;
}

TEST_F(EndToEndCli, ARefusedPlanOrAnAddressProblemSendsNothing) {
    StartSims({"--count", "2"});
    CliRun run =
        Cli({"apply", Plan("bad.csv", "MAC Address,Subnet Mask\n00:1B:2C:00:00:00,255.255.0\n"),
             "--wait", "1"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "Line 2, Subnet Mask: Incorrect Subnet mask.\n");
    run = Cli({"apply",
               Plan("twice.csv", "MAC Address,Saved IP Address,Use DHCP\n"
                                 "00:1B:2C:00:00:00,10.77.3.3,FALSE\n"
                                 "00:1B:2C:00:00:01,10.77.3.3,FALSE\n"),
               "--wait", "1"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("10.77.3.3"), std::string::npos) << run.err;
    EXPECT_EQ(first.Count(Request(FunctionCodeChangeSettings)), 0);
}

TEST_F(EndToEndCli, IdentifySelectsEveryHalfSecondThenUnselectsOnce) {
    StartSims({"--count", "2"});
    const CliRun run = Cli({"identify", "00:1b:2c:00:00:01", "--seconds", "3"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<int> selects;
    int unselects = 0;
    for (const QJsonObject& request : first.Events("request")) {
        const bool ours = NamedUnit(request) == "00:1B:2C:00:00:01";
        if (ours && request["function"].toInt() == FunctionCodeSelectUnit)
            selects.push_back(request["ms"].toInt());
        unselects += ours && request["function"].toInt() == FunctionCodeUnselectUnit;
    }
    ASSERT_GE(selects.size(), 5u);
    EXPECT_LE(selects.size(), 7u);
    for (std::size_t i = 1; i < selects.size(); ++i)
        EXPECT_NEAR(selects[i] - selects[i - 1], 500, 150) << i;
    EXPECT_EQ(unselects, 1);
    EXPECT_EQ(Cli({
                      "identify",
                      "00:1B:2C:00:00:09",
                      "--seconds",
                      "1",
                  })
                  .exitCode,
              4);
}

} // namespace
} // namespace tarnwick::test
