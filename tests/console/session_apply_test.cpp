#include "console/console_session.h"
#include "tests/console/recording_sink.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

TEST_F(SessionTest, CheckBoxSelectsTheUnitAndTogglesTheRowMark) {
    AddUnits(1);
    session.RowCheckBoxChanged(1, true);
    EXPECT_EQ(Labels(), Texts{"select 1"});
    EXPECT_TRUE(session.Units().Row(1).checked);
    EXPECT_EQ(At(1, 1), (Cell{"Use DHCP", ColourRed, true}));
    EXPECT_EQ(session.PendingChangeCount(), 1);
    EXPECT_TRUE(sink.buttonsEnabled);

    sink.Clear();
    session.RowCheckBoxChanged(1, false);
    EXPECT_EQ(Labels(), Texts{"unselect 1"});
    EXPECT_FALSE(session.Units().Row(1).checked);
    EXPECT_EQ(At(1, 1), (Cell{"Use DHCP", ColourBlack, false}));
    EXPECT_EQ(session.PendingChangeCount(), 2);
    EXPECT_EQ(session.SelectedUnitIndex(), 1);
    EXPECT_TRUE(sink.buttonsEnabled);
}

TEST_F(SessionTest, CheckBoxMarkTravelsAsField10) {
    AddUnits(2);
    session.TimerOpenTick(1);
    session.SendChanges(1);
    EXPECT_TRUE(session.ListEnabled()) << "nothing marked, nothing sent";
    sink.Clear();
    session.RowCheckBoxChanged(2, true);
    EXPECT_EQ(Labels(), (Texts{"unselect 1", "select 2"}));
    session.SendChanges(2);
    EXPECT_EQ(
        sink.sent.back(),
        Request(19, 1, BeginDataPart("001", 0x1000, 0x0200) + Item(13, Mac(2)) + Item(10, "TRUE")));
    EXPECT_FALSE(sink.listEnabled);
    EXPECT_EQ(session.ReplyWaitTicks(), 10);
}

TEST_F(SessionTest, ApplyWalksEveryRowAndReselectsTheUnitSelectedBefore) {
    AddUnits(3);
    ASSERT_EQ(Commit(1, 9, "10.1.0.91"), CommitResult::Accepted);
    ASSERT_EQ(Commit(3, 9, "10.1.0.93"), CommitResult::Accepted);
    EXPECT_FALSE(session.StartEdit(2, true, 2));
    sink.Clear();
    session.Apply();
    FinishApply();
    EXPECT_EQ(Labels(), (Texts{"unselect 2", "select 1", "changes 1", "unselect 1", "select 2",
                               "unselect 2", "select 3", "changes 3", "unselect 3", "select 2"}));
    EXPECT_EQ(session.SelectedUnitIndex(), 2);
    EXPECT_EQ(sink.highlight, 2);
    EXPECT_EQ(session.PendingChangeCount(), 0);
    EXPECT_FALSE(sink.buttonsEnabled);
    EXPECT_EQ(At(1, 9), (Cell{"10.1.0.91", ColourRed, false}));
    EXPECT_TRUE(Marked(3, 9));
}

class ApplyFromNoSelection : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        AddUnits(3);
        ASSERT_EQ(Commit(1, 9, "10.1.0.91"), CommitResult::Accepted);
        ASSERT_EQ(Commit(3, 9, "10.1.0.93"), CommitResult::Accepted);
        EXPECT_FALSE(session.StartEdit(3, false, 2));
        sink.Clear();
        session.Apply();
    }
    void ApplyRowOne() {
        for (int guard = 0; guard < 10 && Labels().size() < 2; ++guard)
            StepApply();
        ASSERT_EQ(Labels(), (Texts{"select 1", "changes 1"}));
    }
    const Texts whole = {"select 1",   "changes 1", "unselect 1", "select 2",
                         "unselect 2", "select 3",  "changes 3",  "unselect 3"};
};

TEST_F(ApplyFromNoSelection, EndsWithNothingSelected) {
    FinishApply();
    EXPECT_EQ(Labels(), whole);
    EXPECT_EQ(session.SelectedUnitIndex(), -1);
    EXPECT_EQ(sink.highlight, 0);
}

TEST_F(ApplyFromNoSelection, SecondApplyWhileApplyingIsIgnored) {
    ApplyRowOne();
    session.Apply();
    FinishApply();
    EXPECT_EQ(Labels(), whole);
}

TEST_F(ApplyFromNoSelection, ShutDownUnselectsTheRowBeingAppliedAndStops) {
    ApplyRowOne();
    sink.Clear();
    session.ShutDown();
    for (int step = 0; step < 5; ++step)
        session.ApplyStep();
    EXPECT_EQ(Labels(), Texts{"unselect 1"});
}

TEST_F(ApplyFromNoSelection, RowsGoneByRefreshAreSkipped) {
    ApplyRowOne();
    sink.Clear();
    session.Refresh();
    FinishApply();
    EXPECT_EQ(sink.sent, Texts{IdentificationRequest()});
    EXPECT_EQ(session.PendingChangeCount(), 0);
    EXPECT_FALSE(sink.buttonsEnabled);
}

TEST_F(SessionTest, ReplyWaitReleasesTheListAfterTenTicks) {
    AddUnits(1);
    ASSERT_EQ(Commit(1, 9, "10.1.0.91"), CommitResult::Accepted);
    session.SendChanges(1);
    for (int tick = 1; tick <= 10; ++tick) {
        EXPECT_FALSE(sink.listEnabled) << tick;
        session.TimerOpenTick(1);
    }
    EXPECT_TRUE(sink.listEnabled);
    EXPECT_TRUE(session.ListEnabled());
    EXPECT_TRUE(Marked(1, 9));
}

TEST_F(SessionTest, ChangeReplyReleasesTheListValidOrNot) {
    AddUnits(1);
    ASSERT_EQ(Commit(1, 9, "10.1.0.91"), CommitResult::Accepted);
    ASSERT_EQ(Commit(1, 13, "cam-1"), CommitResult::Accepted);
    session.SendChanges(1);
    EXPECT_EQ(session.Take(ChangeReply{}), IntakeResult::InvalidChangeReply);
    EXPECT_EQ(session.ReplyWaitTicks(), 0);
    EXPECT_TRUE(sink.listEnabled);
    EXPECT_TRUE(Marked(1, 9));

    session.SendChanges(1);
    ASSERT_FALSE(sink.listEnabled);
    const auto reply = ChangeReplyBytes({{"0D", Mac(1)}, {"07", "10.1.0.92"}});
    EXPECT_EQ(session.TakeDatagram(reply, "10.0.0.1"), IntakeResult::ChangeReply);
    EXPECT_EQ(At(1, 9), (Cell{"10.1.0.92", ColourBlack, false}));
    EXPECT_EQ(At(1, 13), (Cell{"cam-1", ColourRed, true}));
    EXPECT_EQ(session.ReplyWaitTicks(), 0);
    EXPECT_TRUE(sink.listEnabled);
}

TEST_F(SessionTest, CancelAllRestoresWhatTheUnitsLastReported) {
    AddUnits(2);
    ASSERT_EQ(Commit(1, 9, "10.1.0.91"), CommitResult::Accepted);
    ASSERT_EQ(Commit(2, 13, "cam-2"), CommitResult::Accepted);
    session.RowCheckBoxChanged(1, true);
    Feed(UnitReply(1, "10.1.0.77", "UID-1")); // the unit moved while the edit waited
    ASSERT_EQ(At(1, 9).text, "10.1.0.91");
    session.CancelAll();
    EXPECT_EQ(At(1, 9), (Cell{"10.1.0.77", ColourBlack, false}));
    EXPECT_EQ(At(2, 13), (Cell{"host-2", ColourBlack, false}));
    EXPECT_EQ(At(1, 1), (Cell{"Use DHCP", ColourBlack, false}));
    EXPECT_FALSE(session.Units().Row(1).checked);
    EXPECT_EQ(session.PendingChangeCount(), 0);
    EXPECT_FALSE(sink.buttonsEnabled);
    session.Apply();
    FinishApply();
    EXPECT_FALSE(SentChanges());
}

} // namespace
} // namespace tarnwick::test
