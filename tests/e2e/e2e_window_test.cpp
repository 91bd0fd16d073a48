// End to end, the window's side: units listed and edited on both networks, results, the
// keyboard, a plan's round trip and replies lost to a full buffer.
#include "e2e_support.h"

namespace tarnwick::test {
namespace {

TEST_F(EndToEnd, UnitsOnBothNetworksAreListedAndAnEditReachesOnlyItsUnit) {
    // Units 0-2 on the first network, 2-4 on the second: unit 2 is reachable through both links.
    StartSims({"--count", "3"}, {"--count", "3", "--first-index", "2"});
    frmLumivarNetTarnwick window(false); // its real socket
    window.show();
    const SessionState& session = window.State();
    ASSERT_TRUE(WaitUntil(
        [&] {
            return first.Events("reply").size() == 3 && second.Events("reply").size() == 3 &&
                   session.UnitCount() >= 5;
        },
        Timeout))
        << session.UnitCount() << " of 5 units listed";
    QTest::qWait(300); // a second row for unit 2 would have come by now
    EXPECT_EQ(session.UnitCount(), 5);
    for (SimProcess* sim : {&first, &second})
        for (const QJsonObject& reply : sim->Events("reply"))
            ExpectRowShows(session.units, reply);

    // Three fields of a unit only the second network reaches.
    const char* const mac = "00:1B:2C:00:00:04";
    const int row = session.units.FindRowByMAC(mac);
    ASSERT_NE(row, 0);
    const std::vector<std::pair<int, std::string>> edits = {
        {FieldNumberSavedIPAddress, "10.77.9.20"},
        {FieldNumberSubnetMask, "255.255.255.0"},
        {FieldNumberHostName, "cable-side"}};
    for (const auto& [field, text] : edits) {
        ASSERT_TRUE(window.Session()->StartEdit(row, true, ColumnOfField(field)));
        ASSERT_EQ(window.Session()->SetText(text), CommitResult::Accepted);
    }
    window.Session()->Apply();
    auto black = [&] {
        return std::all_of(edits.begin(), edits.end(), [&](const auto& edit) {
            return session.units.CellAt(row, ColumnOfField(edit.first)).colour == ColourBlack;
        });
    };
    ASSERT_TRUE(WaitUntil(black, Timeout)) << "no change reply from the second network";
    for (const auto& [field, text] : edits)
        EXPECT_EQ(session.units.CellAt(row, ColumnOfField(field)),
                  (Cell{text, ColourBlack, false}));

    ASSERT_TRUE(WaitUntil([&] { return !second.Events("changed").empty(); }, Timeout));
    EXPECT_EQ(second.Events("changed").size(), 1u);
    EXPECT_EQ(second.Events("changed")[0]["mac"].toString(), mac);
    EXPECT_TRUE(first.Events("changed").empty());
    // One change request, broadcast through both links, carrying exactly the edits.
    for (SimProcess* sim : {&first, &second}) {
        std::vector<std::pair<int, std::string>> sent;
        for (const QJsonObject& request : sim->Events("request")) {
            if (request["function"].toInt() != FunctionCodeChangeSettings)
                continue;
            EXPECT_EQ(NamedUnit(request), mac);
            for (const QJsonValue item : request["changes"].toArray())
                sent.emplace_back(item["field"].toInt(), item["value"].toString().toStdString());
        }
        EXPECT_EQ(sent, edits);
    }
    ExpectEveryRequestFromPort10021();
}

// Unit 1 takes its change but never answers: the list and the status panel say so, and the
// resend goes to it alone.
TEST_F(EndToEnd, EachUnitsResultIsShownAndOnlyTheUnansweredOneIsSentAgain) {
    StartSims({"--count", "3", "--silent-unit", "1"});
    frmLumivarNetTarnwick window(false); // its real socket
    window.resize(900, 400);
    window.show();
    window.activateWindow();
    const SessionState& session = window.State();
    ASSERT_TRUE(WaitUntil([&] { return session.UnitCount() == 3; }, Timeout));
    for (int row = 1; row <= 3; ++row) {
        ASSERT_TRUE(window.Session()->StartEdit(row, true, ColumnHostName));
        ASSERT_EQ(window.Session()->SetText("site-" + std::to_string(row)), CommitResult::Accepted);
    }
    window.Session()->Apply();
    auto* list = window.findChild<QTreeView*>("ListViewUnitsOnline");
    auto results = [&] {
        QStringList words;
        for (int row = 0; row < 3; ++row)
            words << list->model()->index(row, 0).data(UnitTableModel::ResultRole).toString();
        return words.join(", ");
    };
    // The wait for an answer is ten ticks, five seconds.
    ASSERT_TRUE(WaitUntil([&] { return !results().contains("sent"); }, 3 * Timeout))
        << results().toStdString();
    EXPECT_EQ(results().toStdString(), "confirmed, no answer, confirmed");
    // A screen reader hears what the mark shows, as the first cell's description.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
    ASSERT_TRUE(table && table->tableInterface());
    EXPECT_TRUE(table->tableInterface()
                    ->cellAt(1, 0)
                    ->text(QAccessible::Description)
                    .contains(" \u2014 no answer"));
    QTest::qWait(600); // the panel follows on the next tick
    EXPECT_EQ(window.findChild<QLabel*>("StatusPanelResults")->text().toStdString(),
              "Apply: 3 sent \u00b7 2 confirmed \u00b7 1 no answer");
    Screenshot("results");

    const auto isChange = Request(FunctionCodeChangeSettings);
    const int before = first.Count(isChange);
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(WaitUntil([&] { return first.Count(isChange) > before; }, Timeout));
    QTest::qWait(500);
    std::vector<QString> named;
    for (const QJsonObject& request : first.Events("request"))
        if (isChange(request))
            named.push_back(NamedUnit(request));
    ASSERT_EQ(static_cast<int>(named.size()), before + 1) << "exactly one change request";
    EXPECT_EQ(named.back().toStdString(), "00:1B:2C:00:00:01");
}

// A burst of replies that overflows the receive buffer: the units are asked again a moment
// after it, and only then.
TEST_F(EndToEnd, RepliesLostToAFullReceiveBufferAreAskedForAgain) {
    StartSims({"--count", "1000", "--burst", "--no-reply-log"});
    const auto isIdentification = Request(FunctionCodeIdentification);
    auto panel = [](frmLumivarNetTarnwick& window) {
        return window.findChild<QLabel*>("StatusPanelResults")->text().toStdString();
    };
    {
        frmLumivarNetTarnwick roomy(false); // room for the whole burst
        ASSERT_TRUE(WaitUntil([&] { return roomy.State().UnitCount() == 1000; }, Timeout));
        QTest::qWait(2500); // well past a second of quiet
        EXPECT_EQ(first.Count(isIdentification), 1) << "asked again with nothing lost";
        EXPECT_EQ(panel(roomy), "1000 units");
    }
    auto transport = std::make_unique<UdpTransport>();
    transport->CapReceiveBuffer(1); // the kernel's least: room for a handful
    frmLumivarNetTarnwick cramped(false, std::move(transport));
    ASSERT_TRUE(WaitUntil([&] { return first.Count(isIdentification) == 3; }, Timeout))
        << "not asked again; " << cramped.State().UnitCount() << " units listed";
    std::vector<qint64> asked;
    for (const QJsonObject& request : first.Events("request"))
        if (isIdentification(request))
            asked.push_back(request["ms"].toInteger());
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_GE(asked.at(2) - asked.at(1), 900) << "asked again before the burst was over";
    QTest::qWait(600); // the panel follows on the next tick
    const std::string said = panel(cramped);
    EXPECT_NE(said.find(" replies were lost to a full receive buffer; asked again"),
              std::string::npos)
        << said;
}

} // namespace
} // namespace tarnwick::test
