#include "console/list_columns.h"
#include "console/unit_list_update.h"
#include "protocol/reply_intake.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Items = std::initializer_list<std::pair<std::string, std::string>>;

UnitReplyFields Fields(Items items) {
    const auto outcome = TakeDatagram(test::IdentificationReplyBytes(items), "10.0.0.9", {});
    return std::get<IdentificationReply>(outcome).fields;
}

// Records the listener calls so tests can see what a view would be told.
struct RecordingListener : UnitTableListener {
    std::vector<std::string> calls;
    void RowsAppended(int first, int last) override {
        calls.push_back("append " + std::to_string(first) + "-" + std::to_string(last));
    }
    void CellsChanged(int row, int first, int last) override {
        calls.push_back("cells " + std::to_string(row) + " " + std::to_string(first) + "-" +
                        std::to_string(last));
    }
    void RowsCleared() override { calls.push_back("clear"); }
};

class UnitListUpdate : public ::testing::Test {
protected:
    UpdateEffect Identify(Items items, const char* version = "001") {
        return ApplyIdentificationReply(table, Fields(items), version);
    }
    UpdateEffect Change(Items items) { return ApplyChangeReply(table, Fields(items)); }
    std::string Text(int row, int column) const { return table.CellAt(row, column).text; }
    void MarkPending(int row, int column, const std::string& text) {
        table.SetText(row, column, text);
        table.SetColour(row, column, ColourRed);
        table.SetBold(row, column, true);
    }
    void TearDown() override { EXPECT_TRUE(table.CheckInvariants()); }

    UnitTable table;
};

TEST_F(UnitListUpdate, NewUnitFillsItsRowByTheColumnMap) {
    const UpdateEffect effect = Identify({{"01", "v"},
                                          {"02", "app"},
                                          {"03", "sw"},
                                          {"04", "hw"},
                                          {"05", "sn"},
                                          {"06", "ip"},
                                          {"07", "sip"},
                                          {"08", "mask"},
                                          {"09", "gw"},
                                          {"0A", "TRUE"},
                                          {"0B", "dns"},
                                          {"0C", "host"},
                                          {"0D", "mac"},
                                          {"0E", "dip"},
                                          {"0F", "uid"},
                                          {"10", "info"}});
    EXPECT_EQ(effect, (UpdateEffect{false, false}));
    ASSERT_EQ(table.UnitCount(), 1);
    const std::vector<std::string> expected = {"Use DHCP", "v",   "app", "sw",   "hw", "uid",
                                               "sn",       "ip",  "sip", "mask", "gw", "dns",
                                               "host",     "mac", "dip", "info"};
    for (int column = 1; column <= 16; ++column) {
        EXPECT_EQ(Text(1, column), expected[static_cast<std::size_t>(column - 1)]) << column;
        EXPECT_EQ(table.CellAt(1, column).colour, ColourBlack);
        EXPECT_FALSE(table.CellAt(1, column).bold);
    }
    EXPECT_TRUE(table.Row(1).checked);
    EXPECT_EQ(table.UnitVersions(), std::vector<std::string>{"001"});
}

TEST_F(UnitListUpdate, CheckBoxOnlyForExactTRUE) {
    Identify({{"0D", "a"}, {"0A", "true"}});
    Identify({{"0D", "b"}, {"0A", "FALSE"}});
    Identify({{"0D", "c"}});
    Identify({{"0D", "d"}, {"0A", "TRUE"}});
    EXPECT_FALSE(table.Row(1).checked);
    EXPECT_FALSE(table.Row(2).checked);
    EXPECT_FALSE(table.Row(3).checked);
    EXPECT_TRUE(table.Row(4).checked);
}

TEST_F(UnitListUpdate, RowsMatchByExactMACText) {
    Identify({{"0D", "00:aa"}, {"0C", "one"}});
    Identify({{"0D", "00:AA"}, {"0C", "two"}});
    Identify({{"0D", "00:aa"}, {"0C", "one again"}});
    ASSERT_EQ(table.UnitCount(), 2);
    EXPECT_EQ(Text(1, 13), "one again");
    EXPECT_EQ(Text(2, 13), "two");
}

TEST_F(UnitListUpdate, EmptyKeyMatchesTheFirstRowWithAnEmptyMAC) {
    Identify({{"0D", "m1"}});
    Identify({{"0C", "no mac"}});
    Identify({{"0D", ""}, {"0C", "empty mac"}});
    ASSERT_EQ(table.UnitCount(), 2);
    EXPECT_EQ(Text(2, 13), "empty mac");
}

TEST_F(UnitListUpdate, RefreshKeepsPendingTextAndReportsWhatItDid) {
    Identify({{"0D", "m"}, {"07", "1.1.1.1"}, {"0C", "host"}, {"0A", "FALSE"}});
    EXPECT_EQ(Identify({{"0D", "m"}, {"07", "1.1.1.1"}}), (UpdateEffect{false, true}));

    MarkPending(1, 9, "2.2.2.2");
    table.SetColour(1, 1, ColourRed);
    const UpdateEffect effect =
        Identify({{"0D", "m"}, {"07", "3.3.3.3"}, {"0C", "renamed"}, {"0A", "TRUE"}});
    EXPECT_EQ(effect, (UpdateEffect{true, true}));
    EXPECT_EQ(Text(1, 9), "2.2.2.2");
    EXPECT_EQ(table.CellAt(1, 9).colour, ColourRed);
    EXPECT_EQ(Text(1, 13), "renamed");
    EXPECT_FALSE(table.Row(1).checked) << "a marked check box keeps the user's state";
    // The unit's own values are kept for discarding the edits later.
    EXPECT_EQ(table.Row(1).reportedText[8], "3.3.3.3");
    EXPECT_TRUE(table.Row(1).reportedChecked);
}

TEST_F(UnitListUpdate, DHCPAndDeviceInformationAlwaysCountAsChanged) {
    Identify({{"0D", "m"}, {"0A", "TRUE"}, {"10", "x"}});
    EXPECT_EQ(Identify({{"0D", "m"}, {"0A", "TRUE"}}), (UpdateEffect{true, true}));
    EXPECT_EQ(Identify({{"0D", "m"}, {"10", "x"}}), (UpdateEffect{true, true}));
}

TEST_F(UnitListUpdate, ExtrasOverwriteFieldSixteenAndIgnoreItsColour) {
    Identify({{"0D", "m"}});
    MarkPending(1, 16, "user");
    Identify({{"0D", "m"}, {"10", "info"}, {"11", "0000040000001000"}, {"12", "01"}});
    EXPECT_EQ(Text(1, 16), "Free Disk=1024/4096,Backups=Available,");
    Identify({{"0D", "m"}, {"12", "07"}});
    EXPECT_EQ(Text(1, 16), "Backups=07,");
}

TEST_F(UnitListUpdate, ChangeReplyWritesBlackPlainValues) {
    Identify({{"0D", "m"}, {"07", "1.1.1.1"}, {"10", "info"}, {"0A", "FALSE"}});
    Identify({{"0D", "other"}});
    MarkPending(1, 9, "2.2.2.2");
    MarkPending(1, 13, "newhost");
    table.SetColour(1, 1, ColourRed);
    table.SetBold(1, 1, true);
    table.SetChecked(1, true);

    const UpdateEffect effect = Change({{"0D", "m"}, {"07", "2.2.2.2"}, {"0A", "TRUE"}});
    EXPECT_EQ(effect, (UpdateEffect{true, true}));
    EXPECT_EQ(table.CellAt(1, 9), (Cell{"2.2.2.2", ColourBlack, false}));
    EXPECT_EQ(table.CellAt(1, 1), (Cell{"Use DHCP", ColourBlack, false}));
    EXPECT_TRUE(table.Row(1).checked);
    EXPECT_EQ(table.CellAt(1, 13), (Cell{"newhost", ColourRed, true})) << "not carried: kept";
    EXPECT_EQ(Text(1, 16), "info") << "no field 16: Device Information untouched";
    EXPECT_EQ(Text(2, 9), "");
}

TEST_F(UnitListUpdate, ChangeReplyForAnUnknownUnitChangesNothing) {
    Identify({{"0D", "m"}, {"07", "1.1.1.1"}});
    EXPECT_EQ(Change({{"0D", "stranger"}, {"07", "9.9.9.9"}}), (UpdateEffect{false, false}));
    EXPECT_EQ(Text(1, 9), "1.1.1.1");
    EXPECT_EQ(table.UnitCount(), 1);
}

TEST_F(UnitListUpdate, ChangeReplyCanRewriteTheKey) {
    Identify({{"0D", "a"}, {"0C", "first"}});
    Identify({{"0D", "b"}, {"0C", "second"}});
    table.SetText(1, ListViewFieldNumberMACAddressColumn, "b");
    // Row 1 now holds "b" too and comes first in list order.
    Change({{"0D", "b"}, {"0C", "renamed"}});
    EXPECT_EQ(Text(1, 13), "renamed");
    EXPECT_EQ(Text(2, 13), "second");
    Identify({{"0D", "a"}, {"0C", "new"}});
    EXPECT_EQ(table.UnitCount(), 3) << "nobody holds \"a\" any more";
}

TEST_F(UnitListUpdate, ListenerHearsOneNoticePerReply) {
    RecordingListener listener;
    table.SetListener(&listener);
    Identify({{"0D", "m"}, {"07", "1.1.1.1"}, {"0C", "h"}});
    Identify({{"0D", "m"}, {"07", "1.1.1.1"}});
    Identify({{"0D", "m"}, {"07", "1.1.1.2"}, {"0C", "k"}});
    table.Clear();
    EXPECT_EQ(listener.calls,
              (std::vector<std::string>{"append 1-1", "cells 1 9-14", "cells 1 9-13", "clear"}));
    EXPECT_EQ(table.UnitCount(), 0);
    EXPECT_TRUE(table.UnitVersions().empty());
}

} // namespace
} // namespace tarnwick
