// The console session without a window: the check box, Apply, the reply wait and Cancel All.
#include "tests/console/session_test_support.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {
TEST_F(SessionTest, CheckBoxSelectsTheUnitTogglesTheRowMarkAndTravelsAsField10) {
    Feed({1, 2});
    session->RowCheckBoxChanged(1, true);
    EXPECT_EQ(Sent(), "select 1");
    EXPECT_EQ(At(1, ColumnUseDHCP), "Use DHCP red bold checked");
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 1, buttons on, list on, wait 0");
    session->RowCheckBoxChanged(1, false);
    EXPECT_EQ(Sent(), "unselect 1");
    EXPECT_EQ(At(1, ColumnUseDHCP), "Use DHCP");
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 2, buttons on, list on, wait 0");
    session->RowCheckBoxChanged(2, true);
    EXPECT_EQ(Sent(), "unselect 1, select 2");
    session->ResendChanges(2);
    EXPECT_EQ(sink.sent.back(), *BuildRequest(19, 1,
                                              BeginDataPart("001", 0x1000, 0x0200) +
                                                  Item("0D", SampleMac(2)) + Item("0A", "TRUE")));
    EXPECT_EQ(Sent(), "unselect 2, select 2, changes 2");
    EXPECT_EQ(State(), "selected 2 (highlight 2), pending 3, buttons on, list off, wait 10");
}

// Apply walks every row, one per turn of the event loop; what may happen meanwhile. The marks
// stay until the units reply.
TEST(ConsoleSessionApply, WalksEveryRowAndReselectsTheUnitSelectedBefore) {
    const std::string none = "selected -1 (highlight 0), pending 0, buttons off, list off, wait 10";
    const std::string marks = "; 10.1.0.91 red|10.1.0.93 red";
    using Case = std::tuple<const char*, int, void (*)(ConsoleSession&), const char*, std::string>;
    for (const auto& [name, before, meanwhile, sent, state] :
         {Case{"unit 2 selected before", 2, [](ConsoleSession&) {},
               "unselect 2, select 1, changes 1, unselect 1, select 2, unselect 2, select 3, "
               "changes 3, unselect 3, select 2",
               "selected 2 (highlight 2), pending 0, buttons off, list off, wait 10" + marks},
          Case{"a second Apply is ignored", -1, [](ConsoleSession& s) { s.Apply(); },
               "select 1, changes 1, unselect 1, select 2, unselect 2, select 3, changes 3, "
               "unselect 3",
               none + marks},
          Case{"ShutDown unselects and stops", -1, [](ConsoleSession& s) { s.ShutDown(); },
               "select 1, changes 1, unselect 1", ""},
          Case{"rows gone by Refresh are skipped", -1, [](ConsoleSession& s) { s.Refresh(); },
               "select 1, changes 1, identify", none}}) {
        SCOPED_TRACE(name);
        Console c;
        c.Feed({1, 2, 3});
        ASSERT_EQ(c.Commit(1, ColumnSavedIPAddress, "10.1.0.91"), CommitResult::Accepted);
        ASSERT_EQ(c.Commit(3, ColumnSavedIPAddress, "10.1.0.93"), CommitResult::Accepted);
        EXPECT_FALSE(c.session->StartEdit(before == -1 ? 3 : before, before != -1,
                                          ColumnVendorManufacturer));
        c.Sent();
        c.session->Apply();
        c.RunApply(before == -1 ? 2 : 3); // up to the first change request
        meanwhile(*c.session);
        c.sink.Drain(*c.session);
        c.RunApply();
        EXPECT_EQ(c.Sent(), sent);
        EXPECT_FALSE(c.session.State().Applying());
        const std::string cells =
            c.session.State().UnitCount()
                ? "; " + c.At(1, ColumnSavedIPAddress) + "|" + c.At(3, ColumnSavedIPAddress)
                : "";
        EXPECT_EQ(state.empty() ? "" : c.State() + cells, state); // after ShutDown nothing matters
    }
}

// The list is disabled while a change request waits: ten ticks or any change reply release it.
TEST_F(SessionTest, DisabledListIgnoresReleasesUntilTheTenTickWaitOrAChangeReplyEnds) {
    const std::string released =
        "; selected 1 (highlight 1), pending 1, buttons on, list on, wait 0";
    Feed({1, 2});
    ASSERT_EQ(Commit(1, ColumnSavedIPAddress, "10.1.0.91"), CommitResult::Accepted);
    session->ResendChanges(1);
    RunApply();
    EXPECT_FALSE(session->StartEdit(1, false, ColumnSavedIPAddress));
    EXPECT_FALSE(session->StartEdit(2, true, ColumnSavedIPAddress));
    EXPECT_FALSE(session->SelectRow(2));
    session->RowCheckBoxChanged(2, true);
    EXPECT_EQ(Sent(), "select 1, unselect 1, select 1, changes 1, unselect 1, select 1")
        << "releases, keys and the check box send nothing";
    EXPECT_EQ(At(2, ColumnUseDHCP), "Use DHCP");
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 1, buttons on, list off, wait 10");
    for (int tick = 1; tick <= 10; ++tick) {
        EXPECT_FALSE(sink.listEnabled) << tick;
        session->TimerOpenTick(SocketState::Open);
    }
    EXPECT_EQ(At(1, ColumnSavedIPAddress) + "; " + State(), "10.1.0.91 red bold" + released);
    session->ResendChanges(1);
    RunApply();
    EXPECT_EQ(session->TakeDatagram(ChangeReplyBytes({}), "10.0.0.1"),
              IntakeResult::InvalidChangeReply);
    EXPECT_EQ(At(1, ColumnSavedIPAddress) + "; " + State(), "10.1.0.91 red bold" + released);
    session->ResendChanges(1);
    RunApply();
    const std::string reply = ChangeReplyBytes({{"0D", SampleMac(1)}, {"07", "10.1.0.92"}});
    EXPECT_EQ(session->TakeDatagram(reply, "10.0.0.1"), IntakeResult::ChangeReply);
    EXPECT_EQ(At(1, ColumnSavedIPAddress) + "; " + State(), "10.1.0.92" + released);
}

TEST_F(SessionTest, CancelAllRestoresWhatTheUnitsLastReported) {
    Feed({1, 2});
    ASSERT_EQ(Commit(1, ColumnSavedIPAddress, "10.1.0.91"), CommitResult::Accepted);
    ASSERT_EQ(Commit(2, ColumnHostName, "cam-2"), CommitResult::Accepted);
    session->RowCheckBoxChanged(2, true);
    // The unit moved while the edit waited.
    session->TakeDatagram(IdentificationReplyBytes({{"0D", SampleMac(1)}, {"07", "10.1.0.77"}}),
                          "u");
    ASSERT_EQ(At(1, ColumnSavedIPAddress), "10.1.0.91 red");
    session->CancelAll();
    EXPECT_EQ(At(1, ColumnSavedIPAddress) + "|" + At(2, ColumnHostName) + "|" +
                  At(2, ColumnUseDHCP),
              "10.1.0.77|kvq-2|Use DHCP");
    EXPECT_EQ(State(), "selected 2 (highlight 2), pending 0, buttons off, list on, wait 0");
}

} // namespace
} // namespace tarnwick::test
