// The console session without a window: a recording sink stands in for the views, and the tests
// run the event loop's part in Apply themselves.
#pragma once

#include "console/console_session.h"
#include "protocol/constants.h"
#include "protocol/datagram.h"
#include "tests/support/raw_datagram.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace tarnwick::test {

using Texts = std::vector<std::string>;

struct RecordingSink : SessionSink {
    Texts sent, captions, shown; // shown: "<origin> <icon>: <text>"
    std::vector<MessageReport> reports;
    bool listEnabled = true, buttonsEnabled = false; // the views' start states
    int highlight = 0, applyStepsDue = 0;
    std::optional<std::string> sendError; // when set, every send fails with it

    std::optional<std::string> SendDatagram(const std::string& datagram) override {
        sent.push_back(datagram);
        return sendError;
    }
    void ShowMessage(const MessageReport& report, MessageOrigin origin) override {
        static const char* const origins[] = {"intake", "transport", "request", "validation"};
        static const char* const icons[] = {"information", "exclamation", "critical"};
        shown.push_back(std::string(origins[static_cast<int>(origin)]) + " " +
                        icons[static_cast<int>(report.icon)] + ": " + report.text);
        reports.push_back(report);
    }
    void ListEnabledChanged(bool enabled) override { listEnabled = enabled; }
    void ButtonsEnabledChanged(bool enabled) override { buttonsEnabled = enabled; }
    void HighlightChanged(int row) override { highlight = row; }
    void CaptionChanged(const std::string& caption) override { captions.push_back(caption); }
    void ApplyStepDue() override { ++applyStepsDue; }
};

inline std::string Mac(int unit) {
    return "00:1B:2C:00:00:0" + std::to_string(unit);
}
// A field item as requests write it.
inline std::string Item(const char* field, const std::string& value) {
    return field + (":" + value) + '\0';
}

// "identify", "select 2" and "unselect 2" stand for their exact bytes (the menu as it starts),
// "changes 3" for a change request naming unit 3; anything else stays bytes.
inline std::string Label(const std::string& datagram) {
    if (datagram == IdentificationRequest())
        return "identify";
    for (int unit = 1; unit <= 9; ++unit) {
        const std::string n = " " + std::to_string(unit), item = Item("0D", Mac(unit));
        if (datagram == *BuildRequest(17, 6, BeginDataPart("001", 0x1000, 0) + item))
            return "select" + n;
        if (datagram == *BuildRequest(18, 6, BeginDataPart("001", 0x1000, 0) + item))
            return "unselect" + n;
        if (datagram[MessageFieldsStartPositionsFunctionCode] == FunctionCodeChangeSettings &&
            datagram.find(Mac(unit)) != std::string::npos)
            return "changes" + n;
    }
    return datagram;
}

// A started session and what its window would show.
struct Console {
    explicit Console(bool internal = false) : session(sink, internal) {
        session.StartUp();
        EXPECT_EQ(Sent(), "identify");
    }
    // Sample unit n (1 to 9): Serial Number SN10000n, IP Address 10.0.0.n, Host Name kvq-n,
    // Unit ID CAMn (none for unit 3), DHCP on for odd n; here its Saved IP Address is 10.1.0.n
    // unless given.
    void Feed(std::initializer_list<int> units, const std::string& savedIp = "") {
        for (const int unit : units) {
            const std::string saved = savedIp.empty() ? "10.1.0." + std::to_string(unit) : savedIp;
            session.TakeDatagram(SampleUnitReply(unit), "10.0.0.200");
            session.TakeDatagram(IdentificationReplyBytes({{"0D", Mac(unit)}, {"07", saved}}), "u");
        }
    }
    // A cell as "<text>[ red][ bold]", the first column with "[ checked]".
    std::string At(int row, int column) const {
        const Cell& cell = session.Units().CellAt(row, column);
        return cell.text + (cell.colour == ColourRed ? " red" : "") + (cell.bold ? " bold" : "") +
               (column == 1 && session.Units().Row(row).checked ? " checked" : "");
    }
    // A release on the cell of `row` (selecting it), then the text committed there.
    CommitResult Commit(int row, int column, const std::string& text) {
        return session.StartEdit(row, true, column) ? session.SetText(text) : CommitResult::Refused;
    }
    // The labels of the datagrams sent since the last call, joined by ", ".
    std::string Sent() {
        std::string labels;
        for (const std::string& datagram : sink.sent)
            labels += (labels.empty() ? "" : ", ") + Label(datagram);
        sink.sent.clear();
        return labels;
    }
    std::string Tick() { return session.TimerOpenTick(1), Sent(); }
    std::string State() const {
        return "selected " + std::to_string(session.SelectedUnitIndex()) + " (highlight " +
               std::to_string(sink.highlight) + "), pending " +
               std::to_string(session.PendingChangeCount()) +
               (sink.buttonsEnabled ? ", buttons on" : ", buttons off") +
               (sink.listEnabled ? ", list on" : ", list off") + ", wait " +
               std::to_string(session.ReplyWaitTicks());
    }
    // Apply's steps, one per ApplyStepDue as the window's event loop runs them, until `sends`
    // datagrams have gone out or Apply has ended.
    void RunApply(std::size_t sends = 100) {
        for (; sink.sent.size() < sends && steps < sink.applyStepsDue && steps < 99; ++steps)
            session.ApplyStep();
    }

    RecordingSink sink;
    ConsoleSession session;
    int steps = 0;
};

class SessionTest : public ::testing::Test, public Console {};

} // namespace tarnwick::test
