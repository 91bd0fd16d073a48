// What became of each unit's change request, the sum in the status panel, resend and discard.
#include "tests/console/session_test_support.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

// A change reply whose MAC item does not decode.
std::string UnreadableChangeReply() {
    RawDatagram garbled;
    garbled.functionCode = FunctionCodeChangeSettings;
    garbled.messageClass = MessageClassChangeReply;
    garbled.data = ReplyData({{"0C", "cam"}}) + "0Dx";
    return garbled.Bytes();
}

std::string Result(const SessionState& session, int row) {
    const ChangeResult* result = session.ResultOf(row);
    return result ? ResultText(*result) : "none";
}

TEST_F(SessionTest, EachUnitsChangeIsConfirmedUnansweredOrUnclearAndOnlyThoseAreSentAgain) {
    Feed({1, 2, 3});
    for (int row = 1; row <= 3; ++row)
        ASSERT_EQ(Commit(row, ColumnHostName, "cam"), CommitResult::Accepted);
    EXPECT_EQ(session.State().StatusText(), "3 units");
    session.now = {14, 3, 0};
    session->Apply();
    RunApply();
    EXPECT_EQ(session.State().StatusText(), "Apply: 3 sent");
    EXPECT_EQ(Result(session.State(), 3), "Change sent 14:03:00 \u2014 waiting for the answer");
    Sent();
    // Unit 1 confirms; unit 2 sends what does not decode; unit 3 stays silent.
    session->TakeDatagram(ChangeReplyBytes({{"0D", SampleMac(1)}, {"0C", "cam"}}), "10.0.0.1",
                          {14, 3, 3});
    session->TakeDatagram(UnreadableChangeReply(), "10.0.0.2", {14, 3, 4});
    EXPECT_EQ(session.State().StatusText(), "Apply: 3 sent \u00b7 1 confirmed");
    EXPECT_FALSE(session.State().HasUnconfirmed());
    for (int tick = 1; tick <= ChangeReplyWaitTicks; ++tick)
        Tick();
    EXPECT_EQ(Result(session.State(), 1), "Change sent 14:03:00 \u2014 confirmed 14:03:03");
    EXPECT_EQ(Result(session.State(), 2), "Change sent 14:03:00 \u2014 unclear answer 14:03:04");
    EXPECT_EQ(Result(session.State(), 3), "Change sent 14:03:00 \u2014 no answer");
    EXPECT_EQ(session.State().StatusText(),
              "Apply: 3 sent \u00b7 1 confirmed \u00b7 1 no answer \u00b7 1 unclear answer");
    EXPECT_EQ(std::set(sink.resultRows.begin(), sink.resultRows.end()), (std::set{0, 1, 2, 3}));

    // Built from the rows as they are now, one per turn of the loop, and the count stays.
    ASSERT_EQ(Commit(3, ColumnSavedIPAddress, "10.1.0.33"), CommitResult::Accepted);
    Sent();
    session->ResendUnconfirmed();
    RunApply();
    EXPECT_EQ(Sent(), "unselect 3, select 2, changes 2, unselect 2, select 3, changes 3, "
                      "unselect 3, select 3");
    EXPECT_EQ(session.State().StatusText(), "Apply: 3 sent \u00b7 1 confirmed");
    EXPECT_EQ(State(), "selected 3 (highlight 3), pending 1, buttons on, list off, wait 10");
    // A new Apply is a new sum, and a Refresh ends it.
    session->Apply();
    RunApply();
    EXPECT_EQ(session.State().StatusText(), "Apply: 2 sent");
    session->Refresh();
    EXPECT_EQ(session.State().StatusText(), "Refresh discarded 3 pending changes");
}

TEST_F(SessionTest, DiscardingOneUnitsChangesAndRefreshSayWhatWasLost) {
    Feed({1, 2});
    ASSERT_EQ(Commit(1, ColumnHostName, "cam-1"), CommitResult::Accepted);
    ASSERT_EQ(Commit(2, ColumnHostName, "cam-2"), CommitResult::Accepted);
    session->RowCheckBoxChanged(2, true);
    session->DiscardChanges(1);
    EXPECT_EQ(At(1, ColumnHostName) + "|" + At(2, ColumnHostName), "kvq-1|cam-2 red");
    EXPECT_EQ(State(), "selected 2 (highlight 2), pending 3, buttons on, list on, wait 0");
    session->Refresh();
    EXPECT_EQ(session.State().StatusText(), "Refresh discarded 2 pending changes");
    Feed({2});
    session->DiscardChanges(1);
    EXPECT_EQ(State(), "selected 1 (highlight 1), pending 0, buttons off, list on, wait 0");
}

// Units fresh from the factory share one address; a link that fails beside one that works.
TEST_F(SessionTest, ResultsStayTrueWhenUnitsShareAnAddressOrOneLinkFails) {
    Feed({1, 2});
    session->TakeDatagram(IdentificationReplyBytes({{"0D", SampleMac(2)}, {"06", "10.0.0.1"}}),
                          "10.0.0.1");
    ASSERT_EQ(Commit(1, ColumnHostName, "cam-1"), CommitResult::Accepted);
    ASSERT_EQ(Commit(2, ColumnHostName, "cam-2"), CommitResult::Accepted);
    sink.sendError = "Sending to 255.255.255.255 port 10021 through eth1 failed";
    sink.sendPartly = true;
    session->Apply();
    RunApply();
    EXPECT_EQ(sink.shown, Texts{"transport critical: " + *sink.sendError});
    sink.sendError.reset();
    EXPECT_EQ(session.State().StatusText(), "Apply: 2 sent");
    // Either unit may have sent it: the wait ends, and neither is blamed.
    session->TakeDatagram(UnreadableChangeReply(), "10.0.0.1");
    for (int tick = 1; tick <= ChangeReplyWaitTicks; ++tick)
        Tick();
    EXPECT_EQ(Result(session.State(), 1), "Change sent 00:00:00 \u2014 no answer");
    EXPECT_EQ(Result(session.State(), 2), "Change sent 00:00:00 \u2014 no answer");

    // The sum stays beside a loss notice, which goes with its cycle.
    session->RepliesDropped(1);
    EXPECT_EQ(session->FindUnit("nowhere"), 0);
    EXPECT_EQ(session.State().StatusText(), "Apply: 2 sent \u00b7 2 no answer \u00b7 No unit holds "
                                            "\u201cnowhere\u201d \u00b7 1 reply was lost to a full "
                                            "receive buffer");
    while (session.State().IdentifyElapsedMs != 0)
        Tick();
    EXPECT_EQ(session.State().StatusText(), "Apply: 2 sent \u00b7 2 no answer");

    // With its changes discarded a unit has nothing to resend.
    EXPECT_TRUE(session.State().HasUnconfirmed());
    session->DiscardChanges(1);
    session->DiscardChanges(2);
    EXPECT_FALSE(session.State().HasUnconfirmed());
    Sent();
    session->ResendUnconfirmed();
    EXPECT_EQ(Sent(), "");
}

} // namespace
} // namespace tarnwick::test
