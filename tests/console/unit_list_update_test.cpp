#include "console/table/list_columns.h"
#include "console/table/unit_list_update.h"
#include "protocol/reply_intake.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace tarnwick {
namespace {

// The fields of an identification reply written as blank-separated "<field>:<value>" items.
UnitReplyFields Fields(const std::string& items) {
    test::RawDatagram datagram;
    datagram.data = test::ReplyData({});
    std::istringstream in(items);
    for (std::string item; in >> item;)
        datagram.data += item + '\0';
    return std::get<IdentificationReply>(DecodeDatagram(datagram.Bytes(), "10.0.0.9", {})).fields;
}

// Records the listener calls so tests can see what a view would be told.
struct RecordingListener : UnitTableListener {
    std::string calls;
    void RowsAppended(int a, int b) override {
        calls += "append " + std::to_string(a) + "-" + std::to_string(b) + "; ";
    }
    void CellsChanged(int row, int a, int b) override {
        calls += "cells " + std::to_string(row) + " " + std::to_string(a) + "-" +
                 std::to_string(b) + "; ";
    }
    void RowsCleared() override { calls += "clear"; }
};

class UnitListUpdate : public ::testing::Test {
protected:
    void Identify(const char* s) { ApplyIdentificationReply(table, Fields(s), "001"); }
    void Change(const char* s) { ApplyChangeReply(table, Fields(s)); }
    void MarkPending(int row, int column, const std::string& text) {
        table.SetText(row, column, text);
        table.SetColour(row, column, ColourRed);
        table.SetBold(row, column, true);
    }
    // The row's cells, joined by "|".
    std::string Row(int row) const {
        std::string cells;
        for (int column = 1; column <= ListViewFieldNumberColumnCount; ++column)
            cells += (column > 1 ? "|" : "") + test::CellText(table, row, column);
        return cells;
    }
    void TearDown() override { EXPECT_TRUE(table.CheckInvariants()); }

    UnitTable table;
};

TEST_F(UnitListUpdate, NewUnitFillsItsRowByTheColumnMap) {
    Identify("01:v 02:app 03:sw 04:hw 05:sn 06:ip 07:sip 08:mask 09:gw 0A:TRUE 0B:dns 0C:host "
             "0D:mac 0E:dip 0F:uid 10:info");
    EXPECT_EQ(Row(1), "Use DHCP checked|v|app|sw|hw|uid|sn|ip|sip|mask|gw|dns|host|mac|dip|info");
}

TEST_F(UnitListUpdate, RowsMatchByExactMACTextAndOnlyTRUEChecksTheBox) {
    Identify("0D:00:aa 0C:one 0A:true");
    Identify("0D:00:AA 0C:two 0A:FALSE");
    Identify("0C:no-mac");
    Identify("0D:00:aa 0C:one-again");
    Identify("0D: 0C:empty-mac 0A:TRUE"); // the empty key finds the row without a MAC address
    ASSERT_EQ(table.UnitCount(), 3);
    EXPECT_EQ(Row(1), "Use DHCP||||||||||||one-again|00:aa||");
    EXPECT_EQ(Row(2), "Use DHCP||||||||||||two|00:AA||");
    EXPECT_EQ(Row(3), "Use DHCP checked||||||||||||empty-mac|||");
}

TEST_F(UnitListUpdate, AKnownRowKeepsPendingCells) {
    Identify("0D:m 07:1.1.1.1 0C:host 0A:FALSE");
    MarkPending(1, ColumnSavedIPAddress, "2.2.2.2");
    MarkPending(1, ColumnDeviceInformation, "user");
    table.SetColour(1, ColumnUseDHCP, ColourRed);
    Identify("0D:m 07:3.3.3.3 0C:renamed 0A:TRUE 10:info 11:0000040000001000 12:01");
    EXPECT_EQ(Row(1), "Use DHCP red||||||||2.2.2.2 red bold||||renamed|m||"
                      "Free Disk=1024/4096,Backups=Available, red bold");
    EXPECT_TRUE(table.Row(1).reportedChecked) << "kept for discarding the edits";
}

TEST_F(UnitListUpdate, ChangeReplyWritesBlackPlainValuesIntoTheFirstRowWithItsMAC) {
    Identify("0D:m 07:1.1.1.1 10:info 0A:FALSE");
    Identify("0D:other");
    MarkPending(1, ColumnUseDHCP, "Use DHCP");
    MarkPending(1, ColumnSavedIPAddress, "2.2.2.2");
    MarkPending(1, ColumnHostName, "newhost");
    Change("0D:m 07:2.2.2.2 0A:TRUE");
    Change("0D:stranger 07:9.9.9.9");
    EXPECT_EQ(Row(1), "Use DHCP checked||||||||2.2.2.2||||newhost red bold|m||info");
    EXPECT_EQ(Row(2), "Use DHCP|||||||||||||other||");

    table.SetText(1, ColumnMACAddress, "other"); // now first in list order
    Change("0D:other 0C:renamed");
    Identify("0D:m"); // nobody holds "m" any more
    ASSERT_EQ(table.UnitCount(), 3);
    EXPECT_EQ(table.CellAt(1, ColumnHostName).text + "|" + table.CellAt(2, ColumnHostName).text +
                  "|" + Row(3),
              "renamed||Use DHCP|||||||||||||m||");
}

// Growing far past one block of storage moves no row and mixes up no row's data or identity.
TEST_F(UnitListUpdate, RowsStayPutAndKeepTheirIdentityWhileTheTableGrows) {
    constexpr int Units = 300;
    std::vector<const UnitRow*> addresses;
    for (int i = 0; i < Units; ++i) {
        ApplyIdentificationReply(
            table, Fields("0D:" + test::SampleMac(i) + " 0C:h" + std::to_string(i)), "001");
        addresses.push_back(&table.Row(i + 1));
    }
    ASSERT_EQ(table.UnitCount(), Units);
    for (int row = 1; row <= Units; ++row) {
        EXPECT_EQ(&table.Row(row), addresses[static_cast<std::size_t>(row - 1)]) << row;
        EXPECT_EQ(table.RowOfUnit(table.Row(row).id), row);
        EXPECT_EQ(table.FindRowByMAC(test::SampleMac(row - 1)), row);
        EXPECT_EQ(table.CellAt(row, ColumnHostName).text, "h" + std::to_string(row - 1));
    }
}

// Renames that share, move and drop MAC texts, checked against the rule the lookup serves: the
// first row in list order whose MAC cell is the text (the empty one included).
TEST_F(UnitListUpdate, FindByMACAgreesWithAScanOfTheRowsThroughRenames) {
    constexpr std::uint_fast32_t Rows = 200, Texts = 60, Renames = 3000;
    std::minstd_rand random(16);
    const auto text = [](std::uint_fast32_t n) {
        return n == 0 ? std::string() : "mac-" + std::to_string(n);
    };
    const auto scan = [&](const std::string& mac) {
        for (int row = 1; row <= table.UnitCount(); ++row)
            if (table.CellAt(row, ColumnMACAddress).text == mac)
                return row;
        return 0;
    };
    for (std::uint_fast32_t i = 0; i < Rows; ++i)
        table.SetText(table.AppendRow("001"), ColumnMACAddress, text(random() % Texts));
    for (std::uint_fast32_t step = 0; step < Renames; ++step) {
        const int row = static_cast<int>(random() % Rows) + 1;
        const std::string before = table.CellAt(row, ColumnMACAddress).text;
        const std::string after = text(random() % Texts);
        table.SetText(row, ColumnMACAddress, after);
        ASSERT_EQ(table.FindRowByMAC(before), scan(before)) << step;
        ASSERT_EQ(table.FindRowByMAC(after), scan(after)) << step;
    }
    for (std::uint_fast32_t n = 0; n < Texts; ++n)
        EXPECT_EQ(table.FindRowByMAC(text(n)), scan(text(n))) << n;
}

TEST_F(UnitListUpdate, ListenerHearsOneNoticePerReply) {
    RecordingListener listener;
    table.SetListener(&listener);
    Identify("0D:m 07:1.1.1.1 0C:h");
    Identify("0D:m 07:1.1.1.1");
    Identify("0D:m 07:1.1.1.2 0C:k");
    table.Clear();
    EXPECT_EQ(listener.calls, "append 1-1; cells 1 9-14; cells 1 9-13; clear");
}

} // namespace
} // namespace tarnwick
